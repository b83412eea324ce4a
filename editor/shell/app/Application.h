#pragma once

#include "editor/shell/app/ResourceFolders.h"
#include "program/LanguageTable.h"

#include <memory>

namespace tarvik {

class Prompts;
class Settings;
class AboutDialog;
class MainWindow;
class NewPasswordDialog;
class PinDialog;
class PasswordDialog;
class RestoreDialog;
class WriteDialog;

// What every window of the editor reaches besides its own widgets: the settings, the
// prompts through which it talks to the user, the process's language table (empty until
// the main window loads a language file) and the folders of the program's own files.
struct ShellServices {
    Settings& settings;
    Prompts& prompts;
    LanguageTable& languageTable;
    const ResourceFolders& folders;
};

// The running editor: its services and its windows. main() builds one over the user's
// settings and the real prompts; a test builds one over a settings file of its own and
// scripted prompts, and then drives the same windows.
//
//   Application app(settings, prompts, ResourceFolders::ForThisProgram());
//   app.CreateWindows();
//   return app.Run();
//
// CreateWindows makes the windows in this order: the main window (MainWindow, whose
// buildWindow runs at once), AboutDialog, PasswordDialog (login), NewPasswordDialog (change
// password), WriteDialog, PinDialog and RestoreDialog. The main window is shown only by Run, after
// all of them exist, because its first show runs the login and reads the settings through them. The
// windows live as long as the Application.
class Application {
public:
    Application(Settings& settings, Prompts& prompts, ResourceFolders folders);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    void CreateWindows();
    // Shows the main window and runs the event loop until the program ends; gives the
    // process's exit code, 1 when the login failed.
    int Run();

    ShellServices& services() { return services_; }
    LanguageTable& languageTable() { return languageTable_; }

    // The main window; null until CreateWindows.
    MainWindow* mainWindow() const { return mainWindow_.get(); }
    AboutDialog& aboutDialog() const { return *aboutDialog_; }
    PasswordDialog& passwordDialog() const { return *passwordDialog_; }
    NewPasswordDialog& newPasswordDialog() const { return *newPasswordDialog_; }
    WriteDialog& writeDialog() const { return *writeDialog_; }
    PinDialog& pinDialog() const { return *pinDialog_; }
    RestoreDialog& restoreDialog() const { return *restoreDialog_; }

private:
    LanguageTable languageTable_;
    ResourceFolders folders_;
    ShellServices services_;

    // Declared in creation order, so they are destroyed in the reverse order.
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<AboutDialog> aboutDialog_;
    std::unique_ptr<PasswordDialog> passwordDialog_;
    std::unique_ptr<NewPasswordDialog> newPasswordDialog_;
    std::unique_ptr<WriteDialog> writeDialog_;
    std::unique_ptr<PinDialog> pinDialog_;
    std::unique_ptr<RestoreDialog> restoreDialog_;
};

} // namespace tarvik
