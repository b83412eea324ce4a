#include "editor/shell/app/Application.h"

#include "editor/shell/app/Settings.h"
#include "editor/shell/dialogs/TFormAbout.h"
#include "editor/shell/dialogs/TFormNewPsw.h"
#include "editor/shell/dialogs/TFormPin.h"
#include "editor/shell/dialogs/TFormPsw.h"
#include "editor/shell/dialogs/TFormRestore.h"
#include "editor/shell/dialogs/TFormWrite.h"
#include "editor/shell/mainwindow/TFormMain.h"

#include <QApplication>

namespace tarvik {

Application::Application(Settings& settings, Prompts& prompts, ResourceFolders folders)
    : folders_(std::move(folders)), services_{settings, prompts, languageTable_, folders_} {}

Application::~Application() = default;

void Application::CreateWindows() {
    formMain_ = std::make_unique<TFormMain>(*this);
    formAbout_ = std::make_unique<TFormAbout>(&languageTable_);
    formPsw_ = std::make_unique<TFormPsw>(languageTable_);
    formNewPsw_ = std::make_unique<TFormNewPsw>(languageTable_, services_.settings, *formPsw_);
    formWrite_ = std::make_unique<TFormWrite>(languageTable_);
    formPin_ = std::make_unique<TFormPin>(languageTable_, services_.prompts);
    formRestore_ = std::make_unique<TFormRestore>(languageTable_);
}

int Application::Run() {
    // The first show runs the login; after a failed one the window never appears.
    formMain_->show();
    if (!formMain_->LoggedIn()) {
        return 1;
    }
    return QApplication::exec();
}

} // namespace tarvik
