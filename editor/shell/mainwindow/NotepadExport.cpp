#include "editor/shell/mainwindow/NotepadExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace tarvik {
namespace {

constexpr char kExportName[] = "tarvik.txt";

bool WriteAll(QFileDevice& file, const std::string& text) {
    return file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size()) &&
           file.flush();
}

} // namespace

NotepadExport::NotepadExport(QString programDir) : programDir_(std::move(programDir)) {}

NotepadExport::~NotepadExport() {
    if (!path_.isEmpty()) {
        QFile::remove(path_);
    }
}

std::optional<QString> NotepadExport::Write(const std::string& text) {
    if (!programDir_.isEmpty()) {
        QFile beside(QDir(programDir_).filePath(QString::fromLatin1(kExportName)));
        if (beside.open(QIODevice::WriteOnly | QIODevice::Truncate) && WriteAll(beside, text)) {
            if (!path_.isEmpty() && path_ != beside.fileName()) {
                QFile::remove(path_);
            }
            path_ = beside.fileName();
            return path_;
        }
        beside.remove();
    }
    // The temporary folder is shared: a fresh file of our own, never a name someone else
    // may have laid there.
    QTemporaryFile temporary(QDir(QDir::tempPath()).filePath(QStringLiteral("tarvik-XXXXXX.txt")));
    temporary.setAutoRemove(false);
    if (!temporary.open() || !WriteAll(temporary, text)) {
        temporary.remove();
        return std::nullopt;
    }
    if (!path_.isEmpty()) {
        QFile::remove(path_);
    }
    path_ = temporary.fileName();
    return path_;
}

} // namespace tarvik
