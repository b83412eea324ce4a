#include "editor/shell/app/ResourceFolders.h"

#include "editor/core/LanguageFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace tarvik {
namespace {

QString WithSeparator(QString folder) {
    if (!folder.endsWith(u'/')) {
        folder += u'/';
    }
    return folder;
}

} // namespace

ResourceFolders ResourceFolders::ForExecutable(const QString& executablePath) {
    const QDir dir = QFileInfo(executablePath).absoluteDir();
    return ResourceFolders({dir.absolutePath(), QDir::cleanPath(dir.absoluteFilePath(
                                                    QStringLiteral("../share/tarvik")))});
}

ResourceFolders ResourceFolders::ForThisProgram() {
    return ForExecutable(QCoreApplication::applicationFilePath());
}

ResourceFolders::ResourceFolders(QStringList folders) {
    for (QString& folder : folders) {
        folders_.push_back(WithSeparator(std::move(folder)));
    }
}

QString ResourceFolders::programDir() const {
    return folders_.isEmpty() ? QString() : folders_.front();
}

std::optional<QString> ResourceFolders::Find(const QString& name) const {
    for (const QString& folder : folders_) {
        const QFileInfo file(folder + name);
        if (file.isFile()) {
            return file.filePath();
        }
    }
    return std::nullopt;
}

QStringList ResourceFolders::LanguageFiles() const {
    QStringList files;
    QSet<QString> names;
    for (const QString& folder : folders_) {
        for (const std::string& path :
             ListLanguageFiles(QFile::encodeName(folder).toStdString(), "*.ini",
                               /*directoriesOnly=*/false)) {
            const QString file = QFile::decodeName(QByteArray::fromStdString(path));
            const QString name = QFileInfo(file).fileName();
            if (!names.contains(name)) {
                names.insert(name);
                files.push_back(file);
            }
        }
    }
    return files;
}

} // namespace tarvik
