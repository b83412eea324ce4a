#include "editor/shell/app/Platform.h"

#include <QDesktopServices>
#include <QUrl>

namespace tarvik {

bool OpenInTextEditor(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::string_view UserSettingsPlace() {
    // QSettings' native format for the user scope, organisation "Velmor", application
    // "Tarvik".
    return "~/.config/Velmor/Tarvik.conf";
}

} // namespace tarvik
