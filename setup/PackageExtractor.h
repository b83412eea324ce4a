#pragma once

#include "setup/NameCase.h"
#include "setup/PackageFormat.h"
#include "setup/platform/FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Reads the directory of the package appended to a file and copies its entries out into a
// folder. It reports every failure as a false result and logs nothing; the caller does.
//
// Entry names are Windows-1252 text with backslashes between folders; they become UTF-8 file
// names. An entry whose name matches an existing file or folder apart from letter case goes
// to that file or folder. Paths given to the extractor (the package file, the target, an
// output path) are this system's own and are used as they are.
//
// The package file is open only while LoadDirectory or ExtractFile runs. One instance is used
// by one thread at a time; the callbacks run on the thread that calls ExtractFile.
class PackageExtractor {
public:
    // Told about every extracted entry: always 0, then the entry's name.
    using ProgressProc = std::function<void(std::int32_t, const std::string&)>;
    // Asked after every extracted entry whether to go on.
    using ContinueProc = std::function<bool()>;

    // Stores the path of the file that holds the package; does no I/O.
    explicit PackageExtractor(std::string packagedFileIn);
    virtual ~PackageExtractor() = default;
    PackageExtractor(const PackageExtractor&) = delete;
    PackageExtractor& operator=(const PackageExtractor&) = delete;

    // The number of entries, loading the directory first when none are held; 0 when that
    // first load fails.
    virtual std::size_t getFileCount();
    virtual std::size_t getCount();

    // Reads trailer, header and directory into the entry list. On failure the entries read
    // before the failing record stay in the list. Refused (false, list kept) while ExtractFile
    // runs.
    bool loadDirectory();

    // Whether the last load read the whole directory the header announced.
    bool isDirectoryComplete() const { return directoryComplete_; }

    // The header of the last load (entry count and directory offset as stored).
    const PackageHeader& getHeader() const { return header_; }

    // The entries in directory order, loading the directory first when none are held.
    const std::list<PackageEntry>& getFileList();

    void setProgressProc(ProgressProc progress) { progressCallback_ = std::move(progress); }
    void setContinueProc(ContinueProc shouldContinue) {
        continueCallback_ = std::move(shouldContinue);
    }

    // Extracts every entry below the existing folder targetFolder, in directory order. Only
    // the two low bits of mode count, and one of them must be set. Stops with false at the
    // first entry that cannot be written, or whose name or path would lead outside the target
    // folder; stops with true when the continue callback says no.
    bool extractFile(std::string_view targetFolder, std::uint32_t mode);

    // Writes one entry to the path outputPath. Only works while ExtractFile holds the
    // package open; false at once otherwise.
    bool extractEntry(const PackageEntry& entry, std::string_view outputPath);

    const std::string& getPackagedFile() const { return packagedFile_; }

private:
    bool readDirectory(const FileHandle& package);
    static std::string readEntryName(const FileHandle& package, std::uint32_t nameOffset,
                                     std::uint32_t nameLength);
    bool extractEntryBelow(const FileHandle& target, const std::vector<std::string>& components,
                           const PackageEntry& entry, CaseInsensitiveFolders& folders);
    bool writeEntryAt(const FileHandle& parent, const std::string& leaf, const PackageEntry& entry);

    ProgressProc progressCallback_;
    ContinueProc continueCallback_;
    std::list<PackageEntry> entryList_;
    PackageHeader header_;
    std::uint32_t packageStartOffset_ = 0;
    bool directoryComplete_ = false;
    FileHandle package_;
    // The buffer of every copy, there while ExtractFile runs.
    std::vector<char> copyBuffer_;
    std::string packagedFile_;
};

} // namespace setup
