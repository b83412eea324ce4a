#pragma once

#include <QString>
#include <optional>
#include <string>

namespace tarvik {

// The file Send to Notepad writes: "tarvik.txt" in the program's folder when the program
// may write there, otherwise a new file of its own in the system's temporary folder. The
// file stays as long as this object, that is until the program ends, so a text editor that
// starts slowly still finds it; it is deleted then.
class NotepadExport {
public:
    explicit NotepadExport(QString programDir);
    ~NotepadExport();
    NotepadExport(const NotepadExport&) = delete;
    NotepadExport& operator=(const NotepadExport&) = delete;

    // Writes the 8-bit text, replacing an earlier export; the file's path, or nothing when
    // no folder took it.
    std::optional<QString> Write(const std::string& text);

    // The file of the last export; empty before the first.
    const QString& path() const { return path_; }

private:
    QString programDir_;
    QString path_;
};

} // namespace tarvik
