#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mkpackage {

// One file or folder to be packed.
struct SourceItem {
    std::string strName; // package name: "\setup\setup.ini"
    std::filesystem::path path;
    bool bFile = false;
    std::uint64_t size = 0;
};

// Walks `folder` and lists everything below it, each folder before its contents and the items
// of one folder in byte order of their names, so packages come out the same every time.
// Throws PackageError for what a package cannot hold: links and other special files, names
// holding a backslash (it separates folders in a package), names over 258 characters and
// names that setup's extractor refuses (one starting with a drive such as "c:").
std::vector<SourceItem> CollectSourceTree(const std::filesystem::path& folder);

} // namespace mkpackage
