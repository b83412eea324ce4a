#include "setup/kivCPackageExtractor.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

class PackageLoadTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(m_target); }

    ScratchFolder m_scratch;
    std::string m_package = m_scratch / "setup.bin";
    std::string m_target = m_scratch / "out";
};

std::vector<std::string> Names(const std::list<PackageEntry>& entries) {
    std::vector<std::string> names;
    for (const PackageEntry& entry : entries) {
        names.push_back(entry.strName);
    }
    return names;
}

TEST_F(PackageLoadTest, ReadsRecordsAndNamesInDirectoryOrder) {
    TestPackageBuilder builder;
    builder.Folder("\\setup").File("\\setup\\setup.ini", "[startup]\n1=a.exe\n");
    builder.WriteTo(m_package);
    const std::string bytes = builder.Build();

    kivCPackageExtractor extractor(m_package);
    ASSERT_TRUE(extractor.LoadDirectory());
    const std::list<PackageEntry>& entries = extractor.GetFileList();
    ASSERT_EQ(Names(entries), (std::vector<std::string>{"\\setup", "\\setup\\setup.ini"}));
    const PackageEntry& folder = entries.front();
    EXPECT_EQ(folder.dwType, kTypeFolder);
    EXPECT_EQ(folder.dwFileSize, 0u);
    EXPECT_EQ(folder.dwDataOffset, 0u);
    const PackageEntry& file = entries.back();
    EXPECT_EQ(file.dwType, kTypeFile);
    EXPECT_EQ(file.dwFileSize, 18u);
    EXPECT_EQ(file.dwStoredSize, 18u);
    // The offsets are absolute: the data follows the stub and the 24-byte header.
    EXPECT_EQ(file.dwDataOffset, 13u + 24u);
    EXPECT_EQ(bytes.substr(file.dwNameOffset, file.strName.size()), file.strName);
    EXPECT_EQ(extractor.GetFileCount(), 2u);
}

struct BrokenPackage {
    const char* label;
    std::string bytes;
};

std::vector<BrokenPackage> BrokenPackages() {
    const TestPackageBuilder good = TestPackageBuilder().Folder("\\a").File("\\a\\b", "data");
    const auto size = static_cast<std::uint32_t>(good.Build().size());
    auto with = [&good](auto change) {
        TestPackageBuilder copy = good;
        change(copy);
        return copy.Build();
    };
    std::string shortHeader = good.Build();
    // The trailer points 10 bytes before the end: fewer than 24 header bytes remain.
    shortHeader.replace(shortHeader.size() - 4, 4, std::string("\0\0\0\0", 4));
    const auto pastHeader = static_cast<std::uint32_t>(shortHeader.size() - 10);
    for (int i = 0; i < 4; ++i) {
        shortHeader[shortHeader.size() - 4 + i] = static_cast<char>((pastHeader >> (8 * i)) & 0xFF);
    }
    return {
        {"file shorter than its trailer", "ab"},
        {"trailer of 0", with([](TestPackageBuilder& b) { b.trailer = 0; })},
        {"trailer equal to the file size",
         with([size](TestPackageBuilder& b) { b.trailer = size; })},
        {"trailer beyond the file", with([](TestPackageBuilder& b) { b.trailer = 0xFFFFFFF0u; })},
        {"header shorter than 24 bytes", shortHeader},
        {"wrong signature",
         with([](TestPackageBuilder& b) { b.signature = std::string(16, 'x'); })},
        {"directory offset 0", with([](TestPackageBuilder& b) { b.directoryOffset = 0; })},
        {"directory offset at the file size",
         with([size](TestPackageBuilder& b) { b.directoryOffset = size; })},
        {"entry count far beyond the file",
         with([](TestPackageBuilder& b) { b.entryCount = 0xFFFFFFFFu; })},
        {"entry count one record too many", with([](TestPackageBuilder& b) { b.entryCount = 3; })},
    };
}

TEST_F(PackageLoadTest, BrokenPackageFailsEveryOperationWithEmptyList) {
    for (const BrokenPackage& broken : BrokenPackages()) {
        SCOPED_TRACE(broken.label);
        WriteWholeFile(m_package, broken.bytes);
        kivCPackageExtractor extractor(m_package);
        EXPECT_FALSE(extractor.LoadDirectory());
        EXPECT_TRUE(extractor.GetFileList().empty());
        EXPECT_EQ(extractor.GetFileCount(), 0u);
        EXPECT_EQ(extractor.GetCount(), 0u);
        EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
        EXPECT_TRUE(fs::is_empty(m_target));
    }
}

TEST_F(PackageLoadTest, MissingPackageFileFailsEveryOperation) {
    kivCPackageExtractor extractor(m_scratch / "absent.bin");
    EXPECT_FALSE(extractor.LoadDirectory());
    EXPECT_EQ(extractor.GetFileCount(), 0u);
    EXPECT_TRUE(extractor.GetFileList().empty());
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
}

TEST_F(PackageLoadTest, PackagedFileThatIsNoRegularFileFailsWithoutWaiting) {
    // A FIFO without a writer would block a plain open for reading forever.
    const std::string fifo = m_scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, m_target}) {
        SCOPED_TRACE(path);
        kivCPackageExtractor extractor(path);
        EXPECT_FALSE(extractor.LoadDirectory());
        EXPECT_EQ(extractor.GetFileCount(), 0u);
        EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    }
}

TEST_F(PackageLoadTest, EmptyDirectoryLoadsAndExtractsNothing) {
    TestPackageBuilder().WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    EXPECT_TRUE(extractor.LoadDirectory());
    EXPECT_EQ(extractor.GetFileCount(), 0u);
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_TRUE(fs::is_empty(m_target));
}

TEST_F(PackageLoadTest, OnlyBitZeroOfTheTypeMakesAFile) {
    TestPackageBuilder builder;
    for (std::uint32_t type = 0; type <= 5; ++type) {
        builder.Entry(TestEntry{type, "\\t" + std::to_string(type), "", {}, {}, {}, {}, false});
    }
    builder.WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    ASSERT_TRUE(extractor.ExtractFile(m_target, 3));
    for (std::uint32_t type = 0; type <= 5; ++type) {
        SCOPED_TRACE(type);
        const fs::path path = fs::path(m_target) / ("t" + std::to_string(type));
        if (type % 2 == 1) {
            EXPECT_TRUE(fs::is_regular_file(path));
        } else {
            EXPECT_TRUE(fs::is_directory(path));
        }
    }
}

TEST_F(PackageLoadTest, NameLengthWordOf259IsAcceptedAnd260StopsTheLoad) {
    const std::string longName = "\\" + std::string(257, 'n');
    ASSERT_EQ(longName.size(), 258u);
    TestPackageBuilder builder;
    builder.File(longName, "x");
    builder.Entry(TestEntry{kTypeFile, "\\second", "y", 260u, {}, {}, {}, false});
    builder.File("\\third", "z");
    builder.WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.LoadDirectory());
    // The entries before the failing record stay.
    ASSERT_EQ(Names(extractor.GetFileList()), std::vector<std::string>{longName});
}

TEST_F(PackageLoadTest, PartialLoadIsKeptAndExtractedWithoutReloading) {
    TestPackageBuilder builder;
    builder.Folder("\\a").File("\\a\\one", "1");
    builder.Entry(TestEntry{kTypeFile, "\\a\\two", "2", 4000u, {}, {}, {}, false});
    builder.WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    // The first load fails and so counts 0; the entries it read stay and are not read again.
    EXPECT_EQ(extractor.GetFileCount(), 0u);
    EXPECT_EQ(extractor.GetFileCount(), 2u);
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_target + "/a/one"), "1");
    EXPECT_FALSE(fs::exists(m_target + "/a/two"));
}

TEST_F(PackageLoadTest, OddNamesAreCutAtWhatWasRead) {
    auto build = [](std::uint32_t lastNameOffset) {
        TestPackageBuilder builder;
        builder.Entry(TestEntry{kTypeFolder, "\\zero", "", 0u, {}, {}, {}, false});
        builder.Entry(
            TestEntry{kTypeFolder, std::string("\\cut\0rest", 9), "", {}, {}, {}, {}, false});
        builder.Entry(TestEntry{kTypeFolder, "\\nonul", "", {}, {}, {}, {}, true});
        builder.Entry(TestEntry{kTypeFolder, "\\nowhere", "", {}, 0xFFFFFF00u, {}, {}, false});
        // The last name starts at the trailer; its length word is the record's own data offset
        // field (10), so 10 bytes are asked for and only the 4 trailer bytes exist.
        builder.Entry(TestEntry{kTypeFile, "\\partial", "", {}, lastNameOffset, 0u, 10u, false});
        return builder;
    };
    const auto size = static_cast<std::uint32_t>(build(0).Build().size());
    build(size - 4).WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    ASSERT_TRUE(extractor.LoadDirectory());
    // The stub is 13 bytes long, so the trailer is 0d 00 00 00.
    EXPECT_EQ(Names(extractor.GetFileList()),
              (std::vector<std::string>{"", "\\cut", "\\nonul", "", "\r"}));
}

} // namespace
} // namespace setup::test
