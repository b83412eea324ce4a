#include "setup/kivCPackageExtractor.h"

#include "base/Windows1252.h"
#include "setup/EntryPath.h"
#include "setup/PackageCopy.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace setup {

namespace {

// Closes the package handle and frees the copy buffer whatever way ExtractFile leaves.
class PackageCloser {
public:
    PackageCloser(FileHandle& handle, std::vector<char>& buffer)
        : m_handle(handle), m_buffer(buffer) {}
    PackageCloser(const PackageCloser&) = delete;
    PackageCloser& operator=(const PackageCloser&) = delete;
    ~PackageCloser() {
        m_handle.reset();
        std::vector<char>().swap(m_buffer);
    }

private:
    FileHandle& m_handle;
    std::vector<char>& m_buffer;
};

// The entry's path components as UTF-8 file names.
std::optional<std::vector<std::string>> FileNameComponents(const std::string& name) {
    std::optional<std::vector<std::string>> components = EntryPathComponents(name);
    if (components) {
        for (std::string& component : *components) {
            component = tarvik::Windows1252ToUtf8(component);
        }
    }
    return components;
}

} // namespace

kivCPackageExtractor::kivCPackageExtractor(std::string strPackagedFileIn)
    : strPackagedFile(std::move(strPackagedFileIn)) {}

std::size_t kivCPackageExtractor::GetFileCount() {
    if (!m_Entries.empty()) {
        return m_Entries.size();
    }
    return LoadDirectory() ? m_Entries.size() : 0;
}

std::size_t kivCPackageExtractor::GetCount() {
    return GetFileCount();
}

const std::list<PackageEntry>& kivCPackageExtractor::GetFileList() {
    if (m_Entries.empty()) {
        LoadDirectory();
    }
    return m_Entries;
}

bool kivCPackageExtractor::LoadDirectory() {
    // ExtractFile walks the list while it holds the package open; a reload from one of its
    // callbacks would pull the list from under it.
    if (m_hPackage.valid()) {
        return false;
    }
    m_bDirectoryComplete = false;
    if (!PathExists(strPackagedFile)) {
        return false;
    }
    m_Entries.clear();
    const FileHandle package = OpenForReading(strPackagedFile);
    if (!package.valid()) {
        return false;
    }
    m_bDirectoryComplete = ReadDirectory(package);
    return m_bDirectoryComplete;
}

bool kivCPackageExtractor::ReadDirectory(const FileHandle& package) {
    // The real size is used, not its low 32 bits: a file of 4 GiB or more would otherwise
    // compare its offsets against a wrapped size.
    const std::optional<std::uint64_t> fileSize = FileSize(package);
    if (!fileSize || *fileSize < kTrailerSize) {
        return false;
    }
    std::array<char, kTrailerSize> trailer{};
    if (ReadAt(package, *fileSize - kTrailerSize, trailer) != trailer.size()) {
        return false;
    }
    m_dwPackageStartOffset = ReadU32(trailer, 0);
    if (m_dwPackageStartOffset == 0 || m_dwPackageStartOffset >= *fileSize) {
        return false;
    }

    std::array<char, kHeaderSize> header{};
    m_Header = PackageHeader{};
    m_Header.signature.fill(0);
    if (ReadAt(package, m_dwPackageStartOffset, header) != header.size()) {
        return false;
    }
    std::memcpy(m_Header.signature.data(), header.data(), m_Header.signature.size());
    m_Header.dwEntryCount = ReadU32(header, 16);
    m_Header.dwDirectoryOffset = ReadU32(header, 20);
    if (m_Header.signature != kPackageSignature) {
        return false;
    }
    if (m_Header.dwDirectoryOffset == 0 || m_Header.dwDirectoryOffset >= *fileSize) {
        return false;
    }
    // A count whose records cannot fit in the file is refused at once rather than read as
    // millions of empty records.
    const std::uint64_t directoryEnd = std::uint64_t{m_Header.dwDirectoryOffset} +
                                       std::uint64_t{m_Header.dwEntryCount} * kRecordSize;
    if (directoryEnd > *fileSize) {
        return false;
    }

    std::uint64_t recordOffset = m_Header.dwDirectoryOffset;
    for (std::uint32_t index = 0; index < m_Header.dwEntryCount; ++index) {
        std::array<char, kRecordSize> record{};
        ReadAt(package, recordOffset, record);
        recordOffset += kRecordSize;

        PackageEntry entry;
        DecodeRecord(record, entry);
        // The length word sits just before the name; one that cannot be read counts as 0.
        std::array<char, 4> lengthWord{};
        if (entry.dwNameOffset >= 4) {
            ReadAt(package, entry.dwNameOffset - 4u, lengthWord);
        }
        const std::uint32_t nameLength = ReadU32(lengthWord, 0);
        if (nameLength > kMaxNameLength) {
            return false;
        }
        entry.strName = ReadEntryName(package, entry.dwNameOffset, nameLength);
        m_Entries.push_back(std::move(entry));
    }
    return true;
}

std::string kivCPackageExtractor::ReadEntryName(const FileHandle& package,
                                                std::uint32_t dwNameOffset,
                                                std::uint32_t dwNameLength) {
    // The name is the bytes actually read, up to the first NUL: a name without a NUL or one
    // that runs past the end of the file is cut, not refused.
    std::array<char, kMaxNameLength> bytes{};
    const std::size_t got = ReadAt(package, dwNameOffset, std::span(bytes.data(), dwNameLength));
    const auto end =
        std::find(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got), '\0');
    return std::string(bytes.begin(), end);
}

bool kivCPackageExtractor::ExtractFile(std::string_view strTargetFolder, std::uint32_t dwMode) {
    if ((dwMode & 3u) == 0) {
        return false;
    }
    const std::string targetPath(strTargetFolder);
    if (!PathExists(targetPath)) {
        return false;
    }
    if (m_Entries.empty() && !LoadDirectory()) {
        return false;
    }
    const FileHandle target = OpenFolder(targetPath);
    if (!target.valid()) {
        return false;
    }
    PackageCloser closer(m_hPackage, m_copyBuffer);
    m_hPackage = OpenForReading(strPackagedFile);
    if (!m_hPackage.valid()) {
        return false;
    }
    m_copyBuffer.resize(kCopyBufferSize);
    CaseInsensitiveFolders folders;
    for (const PackageEntry& entry : m_Entries) {
        const std::optional<std::vector<std::string>> components =
            FileNameComponents(entry.strName);
        if (!components || !ExtractEntryBelow(target, *components, entry, folders)) {
            return false;
        }
        if (m_pfnProgress) {
            m_pfnProgress(0, entry.strName);
        }
        if (m_pfnContinue && !m_pfnContinue()) {
            return true;
        }
    }
    return true;
}

bool kivCPackageExtractor::ExtractEntryBelow(const FileHandle& target,
                                             const std::vector<std::string>& components,
                                             const PackageEntry& entry,
                                             CaseInsensitiveFolders& folders) {
    if (components.empty()) {
        // The name denotes the target folder itself, which exists.
        return !entry.IsFile();
    }
    // Every folder on the way is opened without following a symbolic link: the package never
    // creates links, so a link found here was put there by someone else and may point anywhere.
    // Each folder is known to the name lookup by the path of names it was reached through.
    std::optional<FileHandle> descended;
    std::string folderKey;
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        const FileHandle& parent = descended ? *descended : target;
        const std::string name =
            folders.Find(parent, folderKey, components[i]).value_or(components[i]);
        FileHandle next = OpenFolderAt(parent, name);
        if (!next.valid()) {
            return false;
        }
        descended = std::move(next);
        folderKey += '/' + name;
    }
    const FileHandle& parent = descended ? *descended : target;
    const std::optional<std::string> existing = folders.Find(parent, folderKey, components.back());
    if (!WriteEntryAt(parent, existing.value_or(components.back()), entry)) {
        return false;
    }
    if (!existing) {
        folders.Added(folderKey, components.back());
    }
    return true;
}

bool kivCPackageExtractor::ExtractEntry(const PackageEntry& entry, std::string_view strOutputPath) {
    if (!m_hPackage.valid()) {
        return false;
    }
    std::string path(strOutputPath);
    if (path.empty()) {
        // An empty path names no file or folder; it must not stand for the current folder.
        return false;
    }
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const std::size_t slash = path.rfind('/');
    std::string parentPath;
    std::string leaf;
    if (slash == std::string::npos) {
        parentPath = ".";
        leaf = path;
    } else {
        parentPath = slash == 0 ? "/" : path.substr(0, slash);
        leaf = path.substr(slash + 1);
    }
    const FileHandle parent = OpenFolder(parentPath);
    if (!parent.valid()) {
        return false;
    }
    if (leaf.empty() || leaf == "." || leaf == "..") {
        // The path names an existing folder: right for a folder entry, never for a file.
        return !entry.IsFile();
    }
    return WriteEntryAt(parent, leaf, entry);
}

bool kivCPackageExtractor::WriteEntryAt(const FileHandle& parent, const std::string& leaf,
                                        const PackageEntry& entry) {
    if (!entry.IsFile()) {
        return MakeFolderAt(parent, leaf) != FolderResult::Failed;
    }
    const FileHandle output = ReplaceFileAt(parent, leaf);
    if (!output.valid()) {
        return false;
    }
    return CopyPackageBytes(m_hPackage, entry.dwDataOffset, entry.dwStoredSize, output,
                            m_copyBuffer);
}

} // namespace setup
