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
class kivCPackageExtractor {
public:
    // Told about every extracted entry: always 0, then the entry's name.
    using ProgressProc = std::function<void(std::int32_t, const std::string&)>;
    // Asked after every extracted entry whether to go on.
    using ContinueProc = std::function<bool()>;

    // Stores the path of the file that holds the package; does no I/O.
    explicit kivCPackageExtractor(std::string strPackagedFileIn);
    virtual ~kivCPackageExtractor() = default;
    kivCPackageExtractor(const kivCPackageExtractor&) = delete;
    kivCPackageExtractor& operator=(const kivCPackageExtractor&) = delete;

    // The number of entries, loading the directory first when none are held; 0 when that
    // first load fails.
    virtual std::size_t GetFileCount();
    virtual std::size_t GetCount();

    // Reads trailer, header and directory into the entry list. On failure the entries read
    // before the failing record stay in the list. Refused (false, list kept) while ExtractFile
    // runs.
    bool LoadDirectory();

    // Whether the last load read the whole directory the header announced.
    bool IsDirectoryComplete() const { return m_bDirectoryComplete; }

    // The header of the last load (entry count and directory offset as stored).
    const PackageHeader& GetHeader() const { return m_Header; }

    // The entries in directory order, loading the directory first when none are held.
    const std::list<PackageEntry>& GetFileList();

    void SetProgressProc(ProgressProc progress) { m_pfnProgress = std::move(progress); }
    void SetContinueProc(ContinueProc shouldContinue) { m_pfnContinue = std::move(shouldContinue); }

    // Extracts every entry below the existing folder strTargetFolder, in directory order. Only
    // the two low bits of dwMode count, and one of them must be set. Stops with false at the
    // first entry that cannot be written, or whose name or path would lead outside the target
    // folder; stops with true when the continue callback says no.
    bool ExtractFile(std::string_view strTargetFolder, std::uint32_t dwMode);

    // Writes one entry to the path strOutputPath. Only works while ExtractFile holds the
    // package open; false at once otherwise.
    bool ExtractEntry(const PackageEntry& entry, std::string_view strOutputPath);

    const std::string& GetPackagedFile() const { return strPackagedFile; }

private:
    bool ReadDirectory(const FileHandle& package);
    static std::string ReadEntryName(const FileHandle& package, std::uint32_t dwNameOffset,
                                     std::uint32_t dwNameLength);
    bool ExtractEntryBelow(const FileHandle& target, const std::vector<std::string>& components,
                           const PackageEntry& entry, CaseInsensitiveFolders& folders);
    bool WriteEntryAt(const FileHandle& parent, const std::string& leaf, const PackageEntry& entry);

    ProgressProc m_pfnProgress;
    ContinueProc m_pfnContinue;
    std::list<PackageEntry> m_Entries;
    PackageHeader m_Header;
    std::uint32_t m_dwPackageStartOffset = 0;
    bool m_bDirectoryComplete = false;
    FileHandle m_hPackage;
    // The buffer of every copy, there while ExtractFile runs.
    std::vector<char> m_copyBuffer;
    std::string strPackagedFile;
};

} // namespace setup
