#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace mkpackage {

// Prints the directory of the package appended to `file`, one entry a line: its type ("file"
// or "folder", from bit 0 as the extractor reads it), its stored size and its name, marked
// when setup would refuse to extract it. Extracts nothing. When the directory cannot be read
// in full, prints the entries before the failing record and then throws PackageError saying
// where the directory stops; with nothing readable it throws at once.
void ListPackage(const std::string& file, std::ostream& out);

// A package name as a terminal shows it: Windows-1252 as UTF-8, with control characters
// written as \xNN so that a name cannot move the cursor or hide itself.
std::string DisplayName(std::string_view name);

} // namespace mkpackage
