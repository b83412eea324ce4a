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
    explicit BufferedOutput(setup::FileHandle& file) : m_file(file) {}

    void Write(std::string_view bytes) {
        m_buffer.append(bytes);
        if (m_buffer.size() >= kFlushSize) {
            Flush();
        }
    }

    void Flush() {
        if (!setup::WriteAll(m_file, m_buffer)) {
            throw PackageError("cannot write the package");
        }
        m_buffer.clear();
    }

private:
    static constexpr std::size_t kFlushSize = 64 * 1024;
    setup::FileHandle& m_file;
    std::string m_buffer;
};

// Removes a half-written output unless the build got to the end.
class OutputGuard {
public:
    explicit OutputGuard(fs::path path) : m_path(std::move(path)) {}
    OutputGuard(const OutputGuard&) = delete;
    OutputGuard& operator=(const OutputGuard&) = delete;
    ~OutputGuard() {
        if (!m_bKeep) {
            std::error_code ignored;
            fs::remove(m_path, ignored);
        }
    }
    void Keep() { m_bKeep = true; }

private:
    fs::path m_path;
    bool m_bKeep = false;
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
        output.Write(std::string_view(buffer.data(), got));
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
        record.type = items[i].bFile ? setup::kTypeFile : setup::kTypeFolder;
        if (items[i].bFile) {
            record.fileSize = CheckedOffset(items[i].size);
            record.storedSize = record.fileSize;
            record.dataOffset = CheckedOffset(position);
            position += items[i].size;
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        records[i].nameOffset = CheckedOffset(position + 4);
        position += 4 + items[i].strName.size() + 1;
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
    output.Write(setup::EncodeHeader(header));
    for (const SourceItem& item : items) {
        if (item.bFile) {
            CopyExactly(item.path, item.size, output);
        }
    }
    for (const SourceItem& item : items) {
        std::string lengthWord;
        setup::AppendU32(lengthWord, static_cast<std::uint32_t>(item.strName.size() + 1));
        output.Write(lengthWord);
        output.Write(item.strName);
        output.Write(std::string_view("\0", 1));
    }
    for (const setup::PackageEntry& record : records) {
        output.Write(setup::EncodeRecord(record));
    }
    std::string trailer;
    setup::AppendU32(trailer, packageStart);
    output.Write(trailer);
    output.Flush();
    guard.Keep();
    return PackageWarnings(items);
}

} // namespace mkpackage
