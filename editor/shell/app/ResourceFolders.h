#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tarvik {

// Where the program's own files lie (language files, manuals, the device picture): the
// folder of the executable first, then ../share/tarvik beside it, as an installation lays
// them out.
class ResourceFolders {
public:
    // The folders of the executable at executablePath.
    static ResourceFolders ForExecutable(const QString& executablePath);
    // The folders of the running program.
    static ResourceFolders ForThisProgram();

    explicit ResourceFolders(QStringList folders);

    // The folders searched, in order, each ending in "/".
    const QStringList& folders() const { return folders_; }
    // The first folder: the executable's own (ProgramDir).
    QString programDir() const;

    // The path of the file named name in the first folder that has one.
    std::optional<QString> Find(const QString& name) const;
    // The language files of all folders; where two folders hold a file of the same name,
    // the earlier folder's one is listed.
    QStringList LanguageFiles() const;

private:
    QStringList folders_;
};

} // namespace tarvik
