#pragma once

#include "setup/PackageFormat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace setup::test {

// One entry of a test package; the optional fields replace what the builder would compute,
// which is how tests make malformed packages.
struct TestEntry {
    std::uint32_t dwType = kTypeFile;
    std::string strName;
    std::string data;
    std::optional<std::uint32_t> nameLengthWord;
    std::optional<std::uint32_t> nameOffset;
    std::optional<std::uint32_t> storedSize;
    std::optional<std::uint32_t> dataOffset;
    bool bOmitNul = false;
};

// Builds a stub with a package appended, laid out as the real ones are.
class TestPackageBuilder {
public:
    TestPackageBuilder& Stub(std::string bytes);
    TestPackageBuilder& File(std::string name, std::string data);
    TestPackageBuilder& Folder(std::string name);
    TestPackageBuilder& Entry(TestEntry entry);

    std::optional<std::uint32_t> entryCount;
    std::optional<std::uint32_t> directoryOffset;
    std::optional<std::uint32_t> trailer;
    std::optional<std::string> signature;

    std::string Build() const;
    void WriteTo(const std::string& path) const;

private:
    std::string m_stub = std::string("STUB-IMAGE\0\x01\x02", 13);
    std::vector<TestEntry> m_entries;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace setup::test
