// setup, the self-extracting installer stub ("Build-in Package Extractor", version 1.0.3.305):
// its package is appended to this program's own file.

#include "setup/SetupFlow.h"
#include "setup/SetupLog.h"
#include "setup/Switches.h"
#include "setup/gui/QtSetupWindows.h"
#include "setup/gui/TestHook.h"
#include "setup/gui/WizardSignal.h"
#include "setup/platform/PosixSetupPlatform.h"

#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Qt's arguments for the run: the program's own, and the offscreen platform when nothing is
// to be shown (a silent run) or nothing can be (no display), so that a silent install works on
// a server. The choice goes to Qt alone, not into the environment that the started programs
// inherit.
std::vector<std::string> QtArguments(const std::vector<std::string>& args, bool bSilent) {
    std::vector<std::string> qtArgs = args;
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const bool platformChosen = chosen != nullptr && *chosen != '\0';
    const bool noDisplay =
        std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
    if (!platformChosen && (bSilent || noDisplay)) {
        qtArgs.insert(qtArgs.begin() + (qtArgs.empty() ? 0 : 1), {"-platform", "offscreen"});
    }
    return qtArgs;
}

} // namespace

int main(int argc, char** argv) {
    // Until its handler is in place, SIGUSR1 (the wizard's message) must not end the process;
    // no window could receive it yet anyway.
    std::signal(SIGUSR1, SIG_IGN);
    const std::vector<std::string> args(argv, argv + argc);
    const std::string commandLine = setup::JoinCommandLine(args);
    const std::size_t programPathLength = args.empty() ? 0 : args.front().size();
    const setup::Switches switches = setup::ReadSwitches(commandLine, programPathLength);

    std::vector<std::string> qtArgs = QtArguments(args, switches.bSilent);
    std::vector<char*> qtArgv;
    for (std::string& arg : qtArgs) {
        qtArgv.push_back(arg.data());
    }
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgs.size());
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName("Setup");
    QApplication::setApplicationVersion("1.0.3.305");
    // The loop ends only by the run's own quit messages, never because a window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    setup::gui::WizardSignal wizardSignal;
    const std::unique_ptr<setup::gui::TestHook> hook = setup::gui::TestHook::FromEnvironment();
    setup::PosixSetupPlatform platform;
    setup::SetupLog& log = setup::SetupLog::Instance();
    setup::gui::QtSetupWindows windows(log, platform, wizardSignal, hook.get());
    setup::SetupFlow flow(log, platform, windows);
    return flow.Run(commandLine, programPathLength);
}
