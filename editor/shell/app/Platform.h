#pragma once

#include <QString>
#include <string_view>

namespace tarvik {

// What the editor does differently on each desktop system. The build links one
// implementation: platform/win32 on Windows, platform/posix elsewhere.

// Hands the text file at path to a text editor without waiting for it: Notepad on Windows,
// the desktop's program for text files elsewhere. False when none could be started.
bool OpenInTextEditor(const QString& path);

// Where Settings::OpenUser keeps the user's settings, as the help names it.
std::string_view UserSettingsPlace();

} // namespace tarvik
