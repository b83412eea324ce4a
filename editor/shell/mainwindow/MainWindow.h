#pragma once

#include "base/Signal.h"
#include "program/ProgramDocument.h"

#include <QMainWindow>
#include <QString>
#include <QStyle>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace tarvik {

class Application;
class EditHistory;
struct ConfigSheet;
class FileCommands;
class FormModel;
class FormPages;
class NotepadExport;
class RecentFilesMenu;
class QtTranslations;
class SimCommands;
class WindowTranslator;
class SendSmsDialog;
struct ShellServices;

// The main window: the menus, the tool bar, the form's pages over the program document,
// and the commands of the editor (files, card, guide, Send to Notepad, About, change
// password). Its creation (buildWindow) gives an empty program for the third model; its
// first show (prepareFirstShow) loads the picture and the language, translates the window, runs
// the login and decodes the program; closing (mayClose) asks to save unsaved changes;
// its destruction (releaseResources) closes the card connection and deletes the export file.
//
// A failed or cancelled login closes the window before it appears; LoggedIn() then says
// false and the program ends.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(Application& app);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    FormModel& form() { return *form_; }
    ProgramDocument& document() { return doc_; }
    FormPages& pages() { return *pages_; }
    EditHistory& history() { return *history_; }

    // The folder of the program's own files, ending in "/".
    const QString& ProgramDir() const { return programDir_; }
    // The manual of the chosen language, "Man_English.pdf" until a language file is chosen.
    const QString& ManualName() const { return manualName_; }
    // The stored language is German, whose texts need wider card buttons.
    bool GermanLayout() const { return germanLayout_; }
    // The first show's login succeeded.
    bool LoggedIn() const { return loggedIn_; }

    // The commands, as the menus and buttons run them.
    void newProgram();
    void openFile();
    // Save writes to the program's file, asking for a name only when it has none yet;
    // Save As asks every time.
    void saveFile();
    void saveFileAs();
    void exitProgram();
    // The configuration sheet of the program, to a printer or to a PDF file.
    void printSheet();
    void exportPdf();
    void readSim();
    void writeSim();
    void restoreSim();
    void writeBatch();
    void showCardInfo();
    void readSimIntoProgram();
    void writeProgramToSim();
    // "Send by SMS...": the remote-programming messages through a GSM modem.
    void sendBySms();
    void changePassword();
    void openGuide();
    void showAbout();
    void sendToNotepad();

    // Opens the program file at path right after the login, as File > Open would; the
    // window shows first. Called before the first show.
    void openAfterLogin(const QString& path) { startFile_ = path; }
    // The recent file chosen in File > Recent files, and a program file dropped on the
    // window (which first asks to save unsaved changes).
    void openRecentFile(const QString& path);
    void openDroppedFile(const QString& path);

    // "Tarvik3", or "Tarvik3 - " and the file's name, marked while the program has unsaved
    // changes.
    void updateCaption();
    // The caption without the mark.
    const QString& Caption() const { return caption_; }

    // The first show runs prepareFirstShow before the window appears; it stays hidden when the
    // login failed.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void prepareFirstShow();
    // Whether the window may close: asks to save unsaved changes.
    bool mayClose();
    // Whether closing would ask to save: the program changed and is not empty.
    bool HasUnsavedChanges() const;
    // Whether the program may be replaced: asks to save unsaved changes, as closing does.
    // Only No, or a save that completed, lets them go.
    bool MayDiscardProgram();
    // Opens and saves as the file commands do, keeping the edit history in step.
    void OpenProgram(const QString& path);
    // True when the program was written.
    bool SaveProgram(bool askName);
    ConfigSheet Sheet();
    void releaseResources();

    void BuildMenus();
    void BuildToolBar();
    QAction* AddItem(QMenu& menu, const char* name, const char* caption,
                     void (MainWindow::*handler)());
    QToolButton* AddToolButton(const char* name, const char* hint, QStyle::StandardPixmap icon,
                               void (MainWindow::*handler)());
    void ShowDeviceModel();
    void LoadDevicePicture();
    void PlaceOnScreen();
    void SetUpLanguage();
    void ApplyGermanLayout();
    void DocumentChanged();
    SimCommands& Sim();

    Application& app_;
    ShellServices& services_;
    ProgramDocument doc_;
    std::unique_ptr<FormModel> form_;
    QTabWidget* tabs_ = nullptr; // goes first, while the form it shows still exists
    FormPages* pages_ = nullptr; // a child of tabs_
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<SimCommands> sim_;
    std::unique_ptr<NotepadExport> notepad_;
    std::unique_ptr<QtTranslations> qtTexts_;
    std::unique_ptr<SendSmsDialog> sendSmsDialog_; // made when first needed
    WindowTranslator* translator_ = nullptr;
    EditHistory* history_ = nullptr;

    QMenu* languageMenu_ = nullptr;
    RecentFilesMenu* recentMenu_ = nullptr;
    QActionGroup* modelItems_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* deviceLabel_ = nullptr;

    QString programDir_;
    QString manualName_;
    QString startFile_;
    QString caption_;
    bool germanLayout_ = false;
    bool shown_ = false;
    bool loggedIn_ = false;
    Connection modelWatch_;
    Connection textWatch_;
    Connection beepWatch_;
};

} // namespace tarvik
