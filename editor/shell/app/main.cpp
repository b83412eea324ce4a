// tarvik: the desktop editor of SIM programs.

#include "base/InfoRequest.h"
#include "editor/shell/app/Application.h"
#include "editor/shell/app/MessagePrompts.h"
#include "editor/shell/app/Platform.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/mainwindow/MainWindow.h"
#include "editor/shell/widgets/Pictures.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QStringList>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kHelp =
    "Usage: tarvik [QT-OPTION]... [FILE.sim]\n"
    "Edits the SIM programs of GSM alarm and remote-control communicators: program files\n"
    "(.sim) on disk, and the program on the SIM card in a PC/SC card reader, which it reads\n"
    "and writes. It starts with the user's login, then opens FILE.sim when given, as\n"
    "File > Open would. Each run is a window of its own.\n"
    "\n"
    "Options:\n"
    "  --help       display this help and exit\n"
    "  --version    output version information and exit\n"
    "\n"
    "Other options go to Qt, for example -platform NAME or -style NAME.\n"
    "\n"
    "Environment:\n"
    "  QUENLIB_READER   the card reader to use; \"*\" (the default) is the first reader\n"
    "                   that holds a card\n"
    "  QUENLIB_TRACE    1 writes the card commands to standard error\n"
    "\n"
    "Files:\n"
    "  %SETTINGS%  the user's language and login\n"
    "  ../share/tarvik  from the program's folder: the language files (LAN_*.ini), the\n"
    "                   user guides and the device picture\n";

// The help with the place of the user's settings, which differs between systems.
std::string Help() {
    std::string help(kHelp);
    const std::string_view mark = "%SETTINGS%";
    help.replace(help.find(mark), mark.size(), tarvik::UserSettingsPlace());
    return help;
}

} // namespace

int main(int argc, char** argv) {
    // Help and version need neither a display nor a login.
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string help = Help();
    if (tarvik::AnswerInfoRequest(args, {"tarvik", TARVIK_VERSION, help}, std::cout)) {
        return 0;
    }

    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setOrganizationName(QStringLiteral("Velmor"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(tarvik::ApplicationIcon(64))));

    tarvik::MessagePrompts prompts;
    const auto settings = tarvik::Settings::OpenUser();
    tarvik::Application app(*settings, prompts, tarvik::ResourceFolders::ForThisProgram());
    prompts.SetLanguage(&app.services().languageTable);
    app.CreateWindows();
    // Qt has taken its own options out: what is left after the program's name is the file.
    const QStringList rest = QApplication::arguments().mid(1);
    if (!rest.isEmpty()) {
        app.mainWindow()->openAfterLogin(rest.front());
    }
    return app.Run();
}
