#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mkpackage {

// One file or folder to be packed.
struct SourceItem {
    std::string name; // package name in Windows-1252: "\setup\setup.ini"
    std::filesystem::path path;
    bool isFile = false;
    std::uint64_t size = 0;
};

// Walks `folder` and lists everything below it, each folder before its contents and the items
// of one folder in byte order of their names, so packages come out the same every time. Names
// are converted from UTF-8 to Windows-1252, the text of package names.
// Throws PackageError for what a package cannot hold: links and other special files, names
// with a character that Windows-1252 lacks, names holding a backslash (it separates folders
// in a package), names over 258 characters and names that setup's extractor refuses (one
// starting with a drive such as "c:").
std::vector<SourceItem> CollectSourceTree(const std::filesystem::path& folder);

// What a package of these items may do other than the packer meant, one sentence each:
// no "\setup\setup.ini" for setup to read, names beginning with "." (setup's clean-up leaves
// them, and so their folders, behind), and names of one folder that differ only in letter case
// (setup writes the later over the earlier).
std::vector<std::string> PackageWarnings(const std::vector<SourceItem>& items);

} // namespace mkpackage
