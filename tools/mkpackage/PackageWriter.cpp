#include "tools/mkpackage/PackageWriter.h"

#include "setup/PackageFormat.h"
#include "setup/platform/FileHandle.h"
#include "tools/mkpackage/PackageError.h"
#include "tools/mkpackage/SourceTree.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace mkpackage {

namespace fs = std::filesystem;

namespace {

// Gathers small writes into one buffer so that the output sees few, large writes.
class BufferedOutput {
public:
    explicit BufferedOutput(setup::FileHandle& file) : file_(file) {}

    void write(std::string_view bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= flushSize) {
            flush();
        }
    }

    void flush() {
        if (!setup::WriteAll(file_, buffer_)) {
            throw PackageError("cannot write the package");
        }
        buffer_.clear();
    }

private:
    static constexpr std::size_t flushSize = 64 * 1024;
    setup::FileHandle& file_;
    std::string buffer_;
};

// Removes a half-written output unless the build got to the end.
class OutputGuard {
public:
    explicit OutputGuard(fs::path path) : path_(std::move(path)) {}
    OutputGuard(const OutputGuard&) = delete;
    OutputGuard& operator=(const OutputGuard&) = delete;
    ~OutputGuard() {
        if (!keep_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    void keep() { keep_ = true; }

private:
    fs::path path_;
    bool keep_ = false;
};

// Copies exactly `size` bytes of `path` into the output; a file that changed size since the
// tree was read would break the offsets already laid out, so it stops the build.
void CopyExactly(const fs::path& path, std::uint64_t size, BufferedOutput& output) {
    const setup::FileHandle input = setup::OpenForReading(path.string());
    if (!input.valid()) {
        throw PackageError("cannot open " + path.string());
    }
    std::array<char, 64 * 1024> buffer{};
    std::uint64_t offset = 0;
    while (offset < size) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
        const std::size_t got = setup::ReadAt(input, offset, std::span(buffer.data(), wanted));
        if (got != wanted) {
            throw PackageError(path.string() + " changed while it was being packed");
        }
        output.write(std::string_view(buffer.data(), got));
        offset += got;
    }
    if (setup::FileSize(input) != size) {
        throw PackageError(path.string() + " changed while it was being packed");
    }
}

bool IsInside(const fs::path& path, const fs::path& folder) {
    std::error_code error;
    const fs::path full = fs::weakly_canonical(path, error);
    const fs::path root = fs::weakly_canonical(folder, error);
    const fs::path relative = full.lexically_relative(root);
    return !relative.empty() && *relative.begin() != "..";
}

std::uint32_t CheckedOffset(std::uint64_t offset) {
    if (offset > std::numeric_limits<std::uint32_t>::max()) {
        throw PackageError("the package would pass 4 GiB, which its 32-bit offsets cannot reach");
    }
    return static_cast<std::uint32_t>(offset);
}

} // namespace

std::vector<std::string> BuildPackage(const fs::path& stub, const fs::path& folder,
                                      const fs::path& out) {
    const std::vector<SourceItem> items = CollectSourceTree(folder);
    const setup::FileHandle stubFile = setup::OpenForReading(stub.string());
    const std::optional<std::uint64_t> stubSize = setup::FileSize(stubFile);
    if (!stubFile.valid() || !stubSize) {
        throw PackageError("cannot open the stub " + stub.string());
    }
    std::error_code error;
    if (fs::equivalent(stub, out, error)) {
        throw PackageError("the output must not be the stub itself");
    }
    if (IsInside(out, folder)) {
        throw PackageError("the output must not lie inside the folder being packed");
    }
    if (*stubSize == 0) {
        // The trailer's offset 0 means "no package", so the stub must hold at least one byte.
        throw PackageError("the stub is empty");
    }

    // Lay out every offset before writing, so the header can go first.
    const std::uint32_t packageStart = CheckedOffset(*stubSize);
    std::uint64_t position = std::uint64_t{packageStart} + setup::kHeaderSize;
    std::vector<setup::PackageEntry> records(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        setup::PackageEntry& record = records[i];
        record.type = items[i].isFile ? setup::kTypeFile : setup::kTypeFolder;
        if (items[i].isFile) {
            record.fileSize = CheckedOffset(items[i].size);
            record.storedSize = record.fileSize;
            record.dataOffset = CheckedOffset(position);
            position += items[i].size;
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        records[i].nameOffset = CheckedOffset(position + 4);
        position += 4 + items[i].name.size() + 1;
    }
    setup::PackageHeader header;
    header.entryCount = static_cast<std::uint32_t>(items.size());
    header.directoryOffset = CheckedOffset(position);
    CheckedOffset(position + items.size() * setup::kRecordSize + setup::kTrailerSize);

    setup::FileHandle outFile(
        ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0755));
    if (!outFile.valid()) {
        throw PackageError("cannot create " + out.string());
    }
    OutputGuard guard(out);
    BufferedOutput output(outFile);
    CopyExactly(stub, *stubSize, output);
    output.write(setup::EncodeHeader(header));
    for (const SourceItem& item : items) {
        if (item.isFile) {
            CopyExactly(item.path, item.size, output);
        }
    }
    for (const SourceItem& item : items) {
        std::string lengthWord;
        setup::AppendU32(lengthWord, static_cast<std::uint32_t>(item.name.size() + 1));
        output.write(lengthWord);
        output.write(item.name);
        output.write(std::string_view("\0", 1));
    }
    for (const setup::PackageEntry& record : records) {
        output.write(setup::EncodeRecord(record));
    }
    std::string trailer;
    setup::AppendU32(trailer, packageStart);
    output.write(trailer);
    output.flush();
    guard.keep();
    return PackageWarnings(items);
}

} // namespace mkpackage
