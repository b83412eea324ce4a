#include "editor/shell/mainwindow/FileCommands.h"

#include "editor/form/FormModel.h"
#include "editor/shell/app/Prompts.h"
#include "editor/shell/app/Settings.h"
#include "editor/shell/widgets/QtText.h"
#include "program/DocumentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarvik {
namespace {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

FileCommands::FileCommands(Parts parts) : parts_(std::move(parts)) {}

void FileCommands::FileNewItemClick() {
    if (!parts_.prompts.AskOkCancel(
            Translated(parts_.language, std::string_view("Confirm")),
            Translated(parts_.language, std::string_view("New program?")))) {
        return;
    }
    ShowErrors(NewDocument(parts_.form.document(), parts_.form.documentHooks()));
    parts_.documentChanged();
}

void FileCommands::FileOpen1Execute() {
    const auto path = parts_.prompts.OpenFileName(StartFolder());
    if (!path) {
        return;
    }
    RememberFolder(*path);
    const FileResult result =
        OpenDocument(parts_.form.document(), LocalPath(*path), parts_.form.documentHooks());
    ShowErrors(result);
    // A file that did not open leaves the window as it was.
    if (result.ok) {
        parts_.documentChanged();
    }
}

FileCommands::SaveOutcome FileCommands::FileSave1Execute(bool askName) {
    ProgramDocument& doc = parts_.form.document();
    std::string path = doc.FileName;
    if (askName || path.empty()) {
        const auto chosen = parts_.prompts.SaveFileName(StartFolder());
        if (!chosen) {
            return SaveOutcome::Cancelled;
        }
        RememberFolder(*chosen);
        path = LocalPath(*chosen);
    }
    const FileResult result = SaveDocument(doc, path);
    ShowErrors(result);
    parts_.documentChanged();
    return result.ok ? SaveOutcome::Saved : SaveOutcome::Failed;
}

QString FileCommands::StartFolder() const {
    const QString folder = parts_.settings.ReadText(QString::fromLatin1(kLastFolderKey), QString());
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        return folder;
    }
    return QDir::homePath();
}

void FileCommands::RememberFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (folder != parts_.settings.ReadText(QString::fromLatin1(kLastFolderKey), QString())) {
        parts_.settings.WriteText(QString::fromLatin1(kLastFolderKey), folder);
    }
}

void FileCommands::ShowErrors(const FileResult& result) {
    for (const std::string& message : result.messages) {
        parts_.prompts.ShowError(Translated(parts_.language, std::string_view(message)));
    }
}

} // namespace tarvik
