#include "editor/shell/Application.h"

#include "editor/shell/Login.h"
#include "editor/shell/Settings.h"
#include "editor/shell/TFormAbout.h"
#include "editor/shell/TFormNewPsw.h"
#include "editor/shell/TFormPin.h"
#include "editor/shell/TFormPsw.h"
#include "editor/shell/TFormWrite.h"

#include <QApplication>
#include <QWidget>

namespace tarvik {

Application::Application(Settings& settings, Prompts& prompts, ResourceFolders folders)
    : folders_(std::move(folders)), services_{settings, prompts, languageTable_, folders_} {}

Application::~Application() = default;

void Application::CreateWindows() {
    // TFormMain construction point: the main window is created here, first, once it
    // exists (formMain_ = std::make_unique<TFormMain>(*this)).
    formAbout_ = std::make_unique<TFormAbout>();
    formPsw_ = std::make_unique<TFormPsw>(languageTable_);
    formNewPsw_ = std::make_unique<TFormNewPsw>(languageTable_, services_.settings, *formPsw_);
    formWrite_ = std::make_unique<TFormWrite>(languageTable_);
    formPin_ = std::make_unique<TFormPin>(languageTable_, services_.prompts);
}

int Application::Run() {
    if (!formMain_) {
        // Until the main window exists, the login alone stands for its first show.
        return RunLogin(*formPsw_, services_.settings, services_.prompts) ? 0 : 1;
    }
    formMain_->show();
    return QApplication::exec();
}

QWidget* Application::FormMain() const {
    return formMain_.get();
}

} // namespace tarvik
