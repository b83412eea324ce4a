#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Splits a package entry name ("\setup\setup.ini") into the folder components it names below
// the extraction folder. Backslashes and slashes both separate folders; empty and "."
// components name nothing and are dropped.
//
// Returns nothing for a name that would reach outside the extraction folder: one with a ".."
// component, one that stays rooted after its single leading separator ("\\server\share",
// "\/etc"), or one with a drive component such as "C:".
std::optional<std::vector<std::string>> EntryPathComponents(std::string_view name);

// A package name as a path of this system: Windows-1252 becomes UTF-8 and backslashes become
// slashes. Nothing else is checked; "\setup\x" becomes "/setup/x".
std::string PackageNameToPath(std::string_view name);

} // namespace setup
