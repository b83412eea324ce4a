// A package written out byte by byte from the format's description, not by any encoder of
// this project, so that a field order wrong in both the writer and the reader shows.

#include "setup/PackageExtractor.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

// A 4-byte stub, then the package at offset 4: the folder "\SETUP", the file
// "\SETUP\SETUP.INI" (16 bytes) and the file "\SETUP\Caf\xE9.txt" (2 bytes; E9 is a small e
// acute in Windows-1252). Every integer is u32 little-endian and every offset absolute.
// clang-format off
const std::string kPackage(
    // 0: the stub
    "MZ\x90\x00"
    // 4: signature, entry count 3, directory offset 98 (0x62)
    "\xb5\x4b\x3d\x05\x6f\x4b\x93\xa4\xb4\xd7\xb4\x9f\xdb\x36\x7e\x49"
    "\x03\x00\x00\x00"
    "\x62\x00\x00\x00"
    // 28: the data of SETUP.INI, then at 44 the data of the second file
    "[startup]\r\n1=x\r\n"
    "ok"
    // 46: name table, each name after its length word, which counts the NUL
    "\x07\x00\x00\x00" "\\SETUP\0"                // name at 50
    "\x11\x00\x00\x00" "\\SETUP\\SETUP.INI\0"     // name at 61
    "\x10\x00\x00\x00" "\\SETUP\\Caf\xE9.txt\0"   // name at 82
    // 98: directory: type, name offset, file size, stored size, data offset
    "\x02\x00\x00\x00" "\x32\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00"
    "\x01\x00\x00\x00" "\x3d\x00\x00\x00" "\x10\x00\x00\x00" "\x10\x00\x00\x00" "\x1c\x00\x00\x00"
    "\x01\x00\x00\x00" "\x52\x00\x00\x00" "\x02\x00\x00\x00" "\x02\x00\x00\x00" "\x2c\x00\x00\x00"
    // 158: trailer, the package start offset
    "\x04\x00\x00\x00",
    162);
// clang-format on

TEST(PackageBytes, HandWrittenPackageLoadsAndExtracts) {
    const ScratchFolder scratch;
    const std::string package = scratch / "setup.bin";
    const std::string target = scratch / "out";
    WriteWholeFile(package, kPackage);
    fs::create_directory(target);

    PackageExtractor extractor(package);
    ASSERT_TRUE(extractor.loadDirectory());
    EXPECT_TRUE(extractor.isDirectoryComplete());
    EXPECT_EQ(extractor.getHeader().entryCount, 3u);
    EXPECT_EQ(extractor.getHeader().directoryOffset, 98u);
    std::vector<std::string> names;
    std::vector<std::uint32_t> fields;
    for (const PackageEntry& entry : extractor.getFileList()) {
        names.push_back(entry.name);
        fields.insert(fields.end(), {entry.type, entry.nameOffset, entry.fileSize, entry.storedSize,
                                     entry.dataOffset});
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"\\SETUP", "\\SETUP\\SETUP.INI", "\\SETUP\\Caf\xE9.txt"}));
    EXPECT_EQ(fields,
              (std::vector<std::uint32_t>{2, 50, 0, 0, 0, 1, 61, 16, 16, 28, 1, 82, 2, 2, 44}));

    ASSERT_TRUE(extractor.extractFile(target + "/", 3));
    EXPECT_EQ(ReadWholeFile(target + "/SETUP/SETUP.INI"), "[startup]\r\n1=x\r\n");
    EXPECT_EQ(ReadWholeFile(target + "/SETUP/Caf\u00e9.txt"), "ok");
}

} // namespace
} // namespace setup::test
