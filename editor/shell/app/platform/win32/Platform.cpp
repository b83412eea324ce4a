#include "editor/shell/app/Platform.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

namespace tarvik {

bool OpenInTextEditor(const QString& path) {
    // Notepad itself, whatever program the user associates with text files: the export is
    // meant to be read and printed there.
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {QDir::toNativeSeparators(path)});
}

std::string_view UserSettingsPlace() {
    // QSettings' native format for the user scope, organisation "Velmor", application
    // "Tarvik", with the values in the group "User": text values (REG_SZ) in this key.
    return "HKEY_CURRENT_USER\\Software\\Velmor\\Tarvik\\User";
}

} // namespace tarvik
