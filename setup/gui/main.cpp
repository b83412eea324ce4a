// setup, the self-extracting installer stub ("Build-in Package Extractor", version 1.0.3.305):
// its package is appended to this program's own file.

#include "base/InfoRequest.h"
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
#include <iostream>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr const char* kHelp =
    "Usage: setup [/i | /l] [ARGUMENT]...\n"
    "  or:  setup --help | --version\n"
    "Runs the setup package appended to this program's own file: unpacks it into a new\n"
    "folder in the temporary folder, shows the package's start picture and a progress\n"
    "window, starts in turn the programs that the package's setup/setup.ini names in its\n"
    "section [startup], waiting for each, and deletes the folder again. Without a package it\n"
    "says so and ends. mkpackage makes an installer from this program and a folder.\n"
    "\n"
    "Options:\n"
    "  /i           silent: no window; the run is logged to ~/ql_inst.log\n"
    "  /l           the windows as usual, and the run is logged to ~/ql_inst.log\n"
    "  --help       display this help and exit, without running the package\n"
    "  --version    output version information and exit\n"
    "\n"
    "The start of the text after the program's name is passed on at the end of the command\n"
    "line of every program that the package starts; a switch beginning with \"/\" other than\n"
    "/i and /l passes nothing on.\n"
    "\n"
    "Exit status:\n"
    "  0 when the whole package was unpacked and every program started, 1 otherwise.\n"
    "\n"
    "Environment:\n"
    "  TMPDIR       the temporary folder (/tmp when unset)\n";

// Qt's arguments for the run: the program's own, and the offscreen platform when nothing is
// to be shown (a silent run) or nothing can be (no display), so that a silent install works on
// a server. The choice goes to Qt alone, not into the environment that the started programs
// inherit.
std::vector<std::string> QtArguments(const std::vector<std::string>& args, bool silent) {
    std::vector<std::string> qtArgs = args;
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const bool platformChosen = chosen != nullptr && *chosen != '\0';
    const bool noDisplay =
        std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
    if (!platformChosen && (silent || noDisplay)) {
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
    // Asked for help or the version, the stub neither reads nor runs its package.
    const std::span<const std::string> arguments =
        args.empty() ? std::span<const std::string>() : std::span(args).subspan(1);
    if (tarvik::AnswerInfoRequest(arguments, {"setup", "1.0.3.305", kHelp}, std::cout)) {
        return 0;
    }
    const std::string commandLine = setup::JoinCommandLine(args);
    const std::size_t programPathLength = args.empty() ? 0 : args.front().size();
    const setup::Switches switches = setup::ReadSwitches(commandLine, programPathLength);

    std::vector<std::string> qtArgs = QtArguments(args, switches.silent);
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
    const std::unique_ptr<setup::gui::TestHook> hook = setup::gui::TestHook::fromEnvironment();
    setup::PosixSetupPlatform platform;
    setup::SetupLog& log = setup::SetupLog::instance();
    setup::gui::QtSetupWindows windows(log, platform, wizardSignal, hook.get());
    setup::SetupFlow flow(log, platform, windows);
    return flow.run(commandLine, programPathLength);
}
