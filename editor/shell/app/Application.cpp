#include "editor/shell/app/Application.h"

#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/AboutDialog.h"
#include "editor/shell/dialogs/NewPasswordDialog.h"
#include "editor/shell/dialogs/PasswordDialog.h"
#include "editor/shell/dialogs/PinDialog.h"
#include "editor/shell/dialogs/RestoreDialog.h"
#include "editor/shell/dialogs/WriteDialog.h"
#include "editor/shell/mainwindow/MainWindow.h"

#include <QApplication>

namespace tarvik {

Application::Application(Settings& settings, Prompts& prompts, ResourceFolders folders)
    : folders_(std::move(folders)), services_{settings, prompts, languageTable_, folders_} {}

Application::~Application() = default;

void Application::CreateWindows() {
    mainWindow_ = std::make_unique<MainWindow>(*this);
    aboutDialog_ = std::make_unique<AboutDialog>(&languageTable_);
    passwordDialog_ = std::make_unique<PasswordDialog>(languageTable_);
    newPasswordDialog_ =
        std::make_unique<NewPasswordDialog>(languageTable_, services_.settings, *passwordDialog_);
    writeDialog_ = std::make_unique<WriteDialog>(languageTable_);
    pinDialog_ = std::make_unique<PinDialog>(languageTable_, services_.prompts);
    restoreDialog_ = std::make_unique<RestoreDialog>(languageTable_);
}

int Application::Run() {
    // The first show runs the login; after a failed one the window never appears.
    mainWindow_->show();
    if (!mainWindow_->LoggedIn()) {
        return 1;
    }
    return QApplication::exec();
}

} // namespace tarvik
