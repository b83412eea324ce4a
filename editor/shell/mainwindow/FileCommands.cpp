#include "editor/shell/mainwindow/FileCommands.h"

#include "editor/core/RecentFiles.h"
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

constexpr std::string_view kCannotRead = "The file cannot be read:";
constexpr std::string_view kCannotWrite = "The file cannot be written:";

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString RecentKey(std::size_t index) {
    return QString::fromLatin1(kRecentFileKey) + QString::number(index + 1);
}

QStringList FromLocalPaths(const std::vector<std::string>& paths) {
    QStringList files;
    for (const std::string& path : paths) {
        files.push_back(QFile::decodeName(QByteArray::fromStdString(path)));
    }
    return files;
}

std::vector<std::string> LocalPaths(const QStringList& paths) {
    std::vector<std::string> local;
    for (const QString& path : paths) {
        local.push_back(LocalPath(path));
    }
    return local;
}

} // namespace

FileCommands::FileCommands(Parts parts) : parts_(std::move(parts)) {}

void FileCommands::newProgram() {
    if (!parts_.prompts.AskOkCancel(
            Translated(parts_.language, std::string_view("Confirm")),
            Translated(parts_.language, std::string_view("New program?")))) {
        return;
    }
    ShowErrors(NewDocument(parts_.form.document(), parts_.form.documentHooks()), {}, {});
    parts_.documentChanged();
}

bool FileCommands::OpenFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    RememberFolder(absolute);
    ProgramDocument& doc = parts_.form.document();
    const std::string previousName = doc.fileName;
    const FileResult result = OpenDocument(doc, LocalPath(absolute), parts_.form.documentHooks());
    ShowErrors(result, absolute, kCannotRead);
    // A file that did not open leaves the window as it was, its file name too: Save must
    // never write to a file the user did not see open.
    if (!result.ok) {
        doc.fileName = previousName;
    }
    if (result.ok) {
        StoreRecentFiles(
            FromLocalPaths(WithRecentFile(LocalPaths(RecentFiles()), LocalPath(absolute))));
        parts_.documentChanged();
    } else if (!QFileInfo::exists(absolute)) {
        StoreRecentFiles(
            FromLocalPaths(WithoutRecentFile(LocalPaths(RecentFiles()), LocalPath(absolute))));
    }
    return result.ok;
}

FileCommands::SaveOutcome FileCommands::saveFile(bool askName) {
    ProgramDocument& doc = parts_.form.document();
    std::string path = doc.fileName;
    if (askName || path.empty()) {
        const auto chosen = parts_.prompts.SaveFileName(StartFolder());
        if (!chosen) {
            return SaveOutcome::Cancelled;
        }
        RememberFolder(*chosen);
        path = LocalPath(*chosen);
    }
    const FileResult result = SaveDocument(doc, path);
    ShowErrors(result, QFile::decodeName(QByteArray::fromStdString(path)), kCannotWrite);
    if (result.ok) {
        const std::string absolute =
            LocalPath(QFileInfo(QFile::decodeName(path.c_str())).absoluteFilePath());
        StoreRecentFiles(FromLocalPaths(WithRecentFile(LocalPaths(RecentFiles()), absolute)));
    }
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

QStringList FileCommands::RecentFiles() const {
    QStringList files;
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        const QString file = parts_.settings.ReadText(RecentKey(i), QString());
        if (!file.isEmpty()) {
            files.push_back(file);
        }
    }
    return files;
}

void FileCommands::StoreRecentFiles(const QStringList& files) {
    const QStringList stored = RecentFiles();
    if (files == stored) {
        return;
    }
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        const auto index = static_cast<qsizetype>(i);
        parts_.settings.WriteText(RecentKey(i), index < files.size() ? files[index] : QString());
    }
    if (parts_.recentChanged) {
        parts_.recentChanged();
    }
}

void FileCommands::RememberFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    if (folder != parts_.settings.ReadText(QString::fromLatin1(kLastFolderKey), QString())) {
        parts_.settings.WriteText(QString::fromLatin1(kLastFolderKey), folder);
    }
}

void FileCommands::ShowErrors(const FileResult& result, const QString& path,
                              std::string_view failed) {
    if (!result.messages.empty() && result.messages.front() == kDiskError) {
        // The file could not be read or written at all: say which and why, and nothing
        // about the format of the content that never came.
        parts_.prompts.ShowError(Translated(parts_.language, failed) + QStringLiteral("\n") + path +
                                 QStringLiteral("\n") + QString::fromLocal8Bit(result.reason));
        return;
    }
    for (const std::string& message : result.messages) {
        parts_.prompts.ShowError(Translated(parts_.language, std::string_view(message)));
    }
}

} // namespace tarvik
