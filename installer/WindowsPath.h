#pragma once

// Windows paths as UTF-8 text with backslashes: the installer's logic builds and compares them
// without calling the system, so that it runs and is tested anywhere.

#include <string>
#include <string_view>
#include <vector>

namespace installer {

// folder and name joined by one backslash.
std::string JoinPath(std::string_view folder, std::string_view name);
// The folder that holds path (the text before its last backslash), or "" when there is none.
std::string ParentFolder(std::string_view path);
// path without "." components, and with each ".." taken away with the component before it
// (never the first one, the drive).
std::string WithoutDots(std::string_view path);
// The last component of path.
std::string_view LastComponent(std::string_view path);

// Why name cannot be a file name relative to a folder, or "" when it can. Accepted: one or
// more components separated by backslashes (or slashes), none empty, "." or "..", none with a
// drive colon, a wildcard or another character Windows refuses, none ending in a blank or a
// dot, none a device name (CON, NUL, COM1, ...).
std::string RelativeNameProblem(std::string_view name);
// name with slashes turned into backslashes.
std::string WithBackslashes(std::string_view name);

// The text with A-Z turned into a-z: Windows compares file and key names this way (other
// letters are compared as they are, which at worst finds two names different that the system
// takes as one).
std::string FoldCase(std::string_view text);
bool SameName(std::string_view a, std::string_view b);
// Whether names holds name, compared as SameName does.
bool ContainsName(const std::vector<std::string>& names, std::string_view name);

} // namespace installer
