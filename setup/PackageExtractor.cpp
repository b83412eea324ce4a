#include "setup/PackageExtractor.h"

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
        : handle_(handle), buffer_(buffer) {}
    PackageCloser(const PackageCloser&) = delete;
    PackageCloser& operator=(const PackageCloser&) = delete;
    ~PackageCloser() {
        handle_.reset();
        std::vector<char>().swap(buffer_);
    }

private:
    FileHandle& handle_;
    std::vector<char>& buffer_;
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

PackageExtractor::PackageExtractor(std::string packagedFileIn)
    : packagedFile_(std::move(packagedFileIn)) {}

std::size_t PackageExtractor::getFileCount() {
    if (!entryList_.empty()) {
        return entryList_.size();
    }
    return loadDirectory() ? entryList_.size() : 0;
}

std::size_t PackageExtractor::getCount() {
    return getFileCount();
}

const std::list<PackageEntry>& PackageExtractor::getFileList() {
    if (entryList_.empty()) {
        loadDirectory();
    }
    return entryList_;
}

bool PackageExtractor::loadDirectory() {
    // ExtractFile walks the list while it holds the package open; a reload from one of its
    // callbacks would pull the list from under it.
    if (package_.valid()) {
        return false;
    }
    directoryComplete_ = false;
    if (!PathExists(packagedFile_)) {
        return false;
    }
    entryList_.clear();
    const FileHandle package = OpenForReading(packagedFile_);
    if (!package.valid()) {
        return false;
    }
    directoryComplete_ = readDirectory(package);
    return directoryComplete_;
}

bool PackageExtractor::readDirectory(const FileHandle& package) {
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
    packageStartOffset_ = ReadU32(trailer, 0);
    if (packageStartOffset_ == 0 || packageStartOffset_ >= *fileSize) {
        return false;
    }

    std::array<char, kHeaderSize> header{};
    header_ = PackageHeader{};
    header_.signature.fill(0);
    if (ReadAt(package, packageStartOffset_, header) != header.size()) {
        return false;
    }
    std::memcpy(header_.signature.data(), header.data(), header_.signature.size());
    header_.entryCount = ReadU32(header, 16);
    header_.directoryOffset = ReadU32(header, 20);
    if (header_.signature != kPackageSignature) {
        return false;
    }
    if (header_.directoryOffset == 0 || header_.directoryOffset >= *fileSize) {
        return false;
    }
    // A count whose records cannot fit in the file is refused at once rather than read as
    // millions of empty records.
    const std::uint64_t directoryEnd =
        std::uint64_t{header_.directoryOffset} + std::uint64_t{header_.entryCount} * kRecordSize;
    if (directoryEnd > *fileSize) {
        return false;
    }

    std::uint64_t recordOffset = header_.directoryOffset;
    for (std::uint32_t index = 0; index < header_.entryCount; ++index) {
        std::array<char, kRecordSize> record{};
        ReadAt(package, recordOffset, record);
        recordOffset += kRecordSize;

        PackageEntry entry;
        DecodeRecord(record, entry);
        // The length word sits just before the name; one that cannot be read counts as 0.
        std::array<char, 4> lengthWord{};
        if (entry.nameOffset >= 4) {
            ReadAt(package, entry.nameOffset - 4u, lengthWord);
        }
        const std::uint32_t nameLength = ReadU32(lengthWord, 0);
        if (nameLength > kMaxNameLength) {
            return false;
        }
        entry.name = readEntryName(package, entry.nameOffset, nameLength);
        entryList_.push_back(std::move(entry));
    }
    return true;
}

std::string PackageExtractor::readEntryName(const FileHandle& package, std::uint32_t nameOffset,
                                            std::uint32_t nameLength) {
    // The name is the bytes actually read, up to the first NUL: a name without a NUL or one
    // that runs past the end of the file is cut, not refused.
    std::array<char, kMaxNameLength> bytes{};
    const std::size_t got = ReadAt(package, nameOffset, std::span(bytes.data(), nameLength));
    const auto end =
        std::find(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got), '\0');
    return std::string(bytes.begin(), end);
}

bool PackageExtractor::extractFile(std::string_view targetFolder, std::uint32_t mode) {
    if ((mode & 3u) == 0) {
        return false;
    }
    const std::string targetPath(targetFolder);
    if (!PathExists(targetPath)) {
        return false;
    }
    if (entryList_.empty() && !loadDirectory()) {
        return false;
    }
    const FileHandle target = OpenFolder(targetPath);
    if (!target.valid()) {
        return false;
    }
    PackageCloser closer(package_, copyBuffer_);
    package_ = OpenForReading(packagedFile_);
    if (!package_.valid()) {
        return false;
    }
    copyBuffer_.resize(kCopyBufferSize);
    CaseInsensitiveFolders folders;
    for (const PackageEntry& entry : entryList_) {
        const std::optional<std::vector<std::string>> components = FileNameComponents(entry.name);
        if (!components || !extractEntryBelow(target, *components, entry, folders)) {
            return false;
        }
        if (progressCallback_) {
            progressCallback_(0, entry.name);
        }
        if (continueCallback_ && !continueCallback_()) {
            return true;
        }
    }
    return true;
}

bool PackageExtractor::extractEntryBelow(const FileHandle& target,
                                         const std::vector<std::string>& components,
                                         const PackageEntry& entry,
                                         CaseInsensitiveFolders& folders) {
    if (components.empty()) {
        // The name denotes the target folder itself, which exists.
        return !entry.isFile();
    }
    // Every folder on the way is opened without following a symbolic link: the package never
    // creates links, so a link found here was put there by someone else and may point anywhere.
    // Each folder is known to the name lookup by the path of names it was reached through.
    std::optional<FileHandle> descended;
    std::string folderKey;
    for (std::size_t i = 0; i + 1 < components.size(); ++i) {
        const FileHandle& parent = descended ? *descended : target;
        const std::string name =
            folders.find(parent, folderKey, components[i]).value_or(components[i]);
        FileHandle next = OpenFolderAt(parent, name);
        if (!next.valid()) {
            return false;
        }
        descended = std::move(next);
        folderKey += '/' + name;
    }
    const FileHandle& parent = descended ? *descended : target;
    const std::optional<std::string> existing = folders.find(parent, folderKey, components.back());
    if (!writeEntryAt(parent, existing.value_or(components.back()), entry)) {
        return false;
    }
    if (!existing) {
        folders.added(folderKey, components.back());
    }
    return true;
}

bool PackageExtractor::extractEntry(const PackageEntry& entry, std::string_view outputPath) {
    if (!package_.valid()) {
        return false;
    }
    std::string path(outputPath);
    if (path.empty()) {
        // An empty path names no file or folder; it must not stand for the current folder.
        return false;
    }
    while (path.size() > 1 && IsPathSeparator(path.back())) {
        path.pop_back();
    }
    const auto separator = std::find_if(path.rbegin(), path.rend(), IsPathSeparator);
    const std::size_t slash = separator == path.rend()
                                  ? std::string::npos
                                  : static_cast<std::size_t>(path.rend() - separator) - 1;
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
        return !entry.isFile();
    }
    return writeEntryAt(parent, leaf, entry);
}

bool PackageExtractor::writeEntryAt(const FileHandle& parent, const std::string& leaf,
                                    const PackageEntry& entry) {
    if (!entry.isFile()) {
        return MakeFolderAt(parent, leaf) != FolderResult::Failed;
    }
    const FileHandle output = ReplaceFileAt(parent, leaf);
    if (!output.valid()) {
        return false;
    }
    return CopyPackageBytes(package_, entry.dataOffset, entry.storedSize, output, copyBuffer_);
}

} // namespace setup
