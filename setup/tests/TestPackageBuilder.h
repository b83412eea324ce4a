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
    std::uint32_t type = kTypeFile;
    std::string name;
    std::string data;
    std::optional<std::uint32_t> nameLengthWord;
    std::optional<std::uint32_t> nameOffset;
    std::optional<std::uint32_t> storedSize;
    std::optional<std::uint32_t> dataOffset;
    bool omitNul = false;
};

// Builds a stub with a package appended, laid out as the real ones are.
class TestPackageBuilder {
public:
    TestPackageBuilder& stub(std::string bytes);
    TestPackageBuilder& file(std::string name, std::string data);
    TestPackageBuilder& folder(std::string name);
    TestPackageBuilder& entry(TestEntry entry);

    std::optional<std::uint32_t> entryCount;
    std::optional<std::uint32_t> directoryOffset;
    std::optional<std::uint32_t> trailer;
    std::optional<std::string> signature;

    std::string build() const;
    void writeTo(const std::string& path) const;

private:
    std::string stub_ = std::string("STUB-IMAGE\0\x01\x02", 13);
    std::vector<TestEntry> entries_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

} // namespace setup::test
