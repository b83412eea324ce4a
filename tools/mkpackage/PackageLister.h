#pragma once

#include <ostream>
#include <string>

namespace mkpackage {

// Prints the directory of the package appended to `file`, one entry a line: its type ("file"
// or "folder", from bit 0 as the extractor reads it), its stored size and its name. Extracts
// nothing. Throws PackageError when the directory cannot be read in full.
void ListPackage(const std::string& file, std::ostream& out);

} // namespace mkpackage
