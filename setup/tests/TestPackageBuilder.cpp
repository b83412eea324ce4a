#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace setup::test {

TestPackageBuilder& TestPackageBuilder::stub(std::string bytes) {
    stub_ = std::move(bytes);
    return *this;
}

TestPackageBuilder& TestPackageBuilder::file(std::string name, std::string data) {
    return entry(TestEntry{kTypeFile, std::move(name), std::move(data), {}, {}, {}, {}, false});
}

TestPackageBuilder& TestPackageBuilder::folder(std::string name) {
    return entry(TestEntry{kTypeFolder, std::move(name), {}, {}, {}, {}, {}, false});
}

TestPackageBuilder& TestPackageBuilder::entry(TestEntry entry) {
    entries_.push_back(std::move(entry));
    return *this;
}

std::string TestPackageBuilder::build() const {
    const auto start = static_cast<std::uint32_t>(stub_.size());
    std::string data;
    std::vector<std::uint32_t> dataOffsets;
    for (const TestEntry& entry : entries_) {
        dataOffsets.push_back(start + static_cast<std::uint32_t>(kHeaderSize + data.size()));
        data += entry.data;
    }
    std::string names;
    std::vector<std::uint32_t> nameOffsets;
    const auto namesStart = static_cast<std::uint32_t>(start + kHeaderSize + data.size());
    for (const TestEntry& entry : entries_) {
        const auto length = static_cast<std::uint32_t>(entry.name.size() + (entry.omitNul ? 0 : 1));
        AppendU32(names, entry.nameLengthWord.value_or(length));
        nameOffsets.push_back(namesStart + static_cast<std::uint32_t>(names.size()));
        names += entry.name;
        if (!entry.omitNul) {
            names += '\0';
        }
    }
    std::string directory;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const TestEntry& entry = entries_[i];
        const bool isFile = (entry.type & 1u) != 0;
        PackageEntry record;
        record.type = entry.type;
        record.nameOffset = entry.nameOffset.value_or(nameOffsets[i]);
        record.fileSize = isFile ? static_cast<std::uint32_t>(entry.data.size()) : 0;
        record.storedSize = entry.storedSize.value_or(record.fileSize);
        record.dataOffset = entry.dataOffset.value_or(isFile ? dataOffsets[i] : 0);
        directory += EncodeRecord(record);
    }
    PackageHeader header;
    header.entryCount = entryCount.value_or(static_cast<std::uint32_t>(entries_.size()));
    header.directoryOffset =
        directoryOffset.value_or(static_cast<std::uint32_t>(namesStart + names.size()));
    std::string headerBytes = EncodeHeader(header);
    if (signature) {
        headerBytes.replace(0, 16, *signature);
    }
    std::string out = stub_ + headerBytes + data + names + directory;
    AppendU32(out, trailer.value_or(start));
    return out;
}

void TestPackageBuilder::writeTo(const std::string& path) const {
    WriteWholeFile(path, build());
}

namespace {

// Paths in the tests are UTF-8, as in the setup core; on Windows a plain string would be read
// in the ANSI code page.
std::filesystem::path Utf8Path(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

} // namespace

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(Utf8Path(path), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace setup::test
