#include "setup/tests/TestPackageBuilder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace setup::test {

TestPackageBuilder& TestPackageBuilder::Stub(std::string bytes) {
    m_stub = std::move(bytes);
    return *this;
}

TestPackageBuilder& TestPackageBuilder::File(std::string name, std::string data) {
    return Entry(TestEntry{kTypeFile, std::move(name), std::move(data), {}, {}, {}, {}, false});
}

TestPackageBuilder& TestPackageBuilder::Folder(std::string name) {
    return Entry(TestEntry{kTypeFolder, std::move(name), {}, {}, {}, {}, {}, false});
}

TestPackageBuilder& TestPackageBuilder::Entry(TestEntry entry) {
    m_entries.push_back(std::move(entry));
    return *this;
}

std::string TestPackageBuilder::Build() const {
    const auto start = static_cast<std::uint32_t>(m_stub.size());
    std::string data;
    std::vector<std::uint32_t> dataOffsets;
    for (const TestEntry& entry : m_entries) {
        dataOffsets.push_back(start + static_cast<std::uint32_t>(kHeaderSize + data.size()));
        data += entry.data;
    }
    std::string names;
    std::vector<std::uint32_t> nameOffsets;
    const auto namesStart = static_cast<std::uint32_t>(start + kHeaderSize + data.size());
    for (const TestEntry& entry : m_entries) {
        const auto length =
            static_cast<std::uint32_t>(entry.strName.size() + (entry.bOmitNul ? 0 : 1));
        AppendU32(names, entry.nameLengthWord.value_or(length));
        nameOffsets.push_back(namesStart + static_cast<std::uint32_t>(names.size()));
        names += entry.strName;
        if (!entry.bOmitNul) {
            names += '\0';
        }
    }
    std::string directory;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const TestEntry& entry = m_entries[i];
        const bool isFile = (entry.dwType & 1u) != 0;
        PackageEntry record;
        record.dwType = entry.dwType;
        record.dwNameOffset = entry.nameOffset.value_or(nameOffsets[i]);
        record.dwFileSize = isFile ? static_cast<std::uint32_t>(entry.data.size()) : 0;
        record.dwStoredSize = entry.storedSize.value_or(record.dwFileSize);
        record.dwDataOffset = entry.dataOffset.value_or(isFile ? dataOffsets[i] : 0);
        directory += EncodeRecord(record);
    }
    PackageHeader header;
    header.dwEntryCount = entryCount.value_or(static_cast<std::uint32_t>(m_entries.size()));
    header.dwDirectoryOffset =
        directoryOffset.value_or(static_cast<std::uint32_t>(namesStart + names.size()));
    std::string headerBytes = EncodeHeader(header);
    if (signature) {
        headerBytes.replace(0, 16, *signature);
    }
    std::string out = m_stub + headerBytes + data + names + directory;
    AppendU32(out, trailer.value_or(start));
    return out;
}

void TestPackageBuilder::WriteTo(const std::string& path) const {
    WriteWholeFile(path, Build());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace setup::test
