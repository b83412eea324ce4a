#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mkpackage {

// Writes `out` as a copy of `stub` with a package holding the tree below `folder` appended:
// header, the files' bytes, the name table, the directory and the trailer. Everything is
// streamed; nothing is held in memory whole. Throws PackageError, leaving no `out` behind.
// Returns the warnings about the package (PackageWarnings).
std::vector<std::string> BuildPackage(const std::filesystem::path& stub,
                                      const std::filesystem::path& folder,
                                      const std::filesystem::path& out);

} // namespace mkpackage
