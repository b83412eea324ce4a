// tarvik: the desktop editor of SIM programs.

#include "editor/shell/app/Application.h"
#include "editor/shell/app/MessagePrompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/widgets/Pictures.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarvik"));
    QApplication::setOrganizationName(QStringLiteral("Velmor"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(tarvik::ApplicationIcon(64))));

    tarvik::MessagePrompts prompts;
    const auto settings = tarvik::Settings::OpenUser();
    tarvik::Application app(*settings, prompts, tarvik::ResourceFolders::ForThisProgram());
    app.CreateWindows();
    return app.Run();
}
