#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string_view>

class QWidget;

namespace tarvik {

class FormModel;
class LanguageTable;
class Prompts;
class Settings;
struct FileResult;

// New, Open and Save of the main window over the program library: their question, the
// file dialogs (which start in the folder last used, kept in the settings) and their error
// messages, translated. Every program file opened or saved joins the recent files, kept in
// the settings too.
class FileCommands {
public:
    struct Parts {
        Prompts& prompts;
        const LanguageTable& language;
        Settings& settings;
        FormModel& form;
        // Runs after a command changed the document or its file name (caption, widgets).
        std::function<void()> documentChanged;
        // Runs after the recent files changed; may be left empty.
        std::function<void()> recentChanged = {};
    };

    explicit FileCommands(Parts parts);

    // "New program?", then an empty program; the model stays.
    void newProgram();
    // Opens the program file at path: its notes, program and (never higher) model, or the
    // messages of a file that fails to open (a file that cannot be read named with the
    // system's reason), which leaves the window and the file name as they were. A file that
    // no longer exists leaves the recent files. True when the program was opened.
    bool OpenFile(const QString& path);
    enum class SaveOutcome { Saved, Cancelled, Failed };
    // Saves the program to its file. With askName (Save As), or when the program has no
    // file yet, the save dialog chooses the file; cancelling it saves nothing. A write that
    // failed has named the file and the system's reason.
    SaveOutcome saveFile(bool askName);

    // The folder the file dialogs start in: the one last used, else the home folder.
    QString StartFolder() const;

    // The recent files, newest first; some may no longer exist.
    QStringList RecentFiles() const;

private:
    void StoreRecentFiles(const QStringList& files);
    void RememberFolder(const QString& path);
    // The messages of result; a file that could not be read or written at all is named,
    // after the words failed, with the system's reason.
    void ShowErrors(const FileResult& result, const QString& path, std::string_view failed);

    Parts parts_;
};

// The settings value that keeps the folder of the last program file opened or saved.
inline constexpr char kLastFolderKey[] = "LastFolder";
// The settings values "Recent1".."Recent8" keep the recent files, newest first.
inline constexpr char kRecentFileKey[] = "Recent";

} // namespace tarvik
