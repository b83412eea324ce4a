#include "setup/PackageExtractor.h"
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
    void SetUp() override { fs::create_directory(target_); }

    ScratchFolder scratch_;
    std::string package_ = scratch_ / "setup.bin";
    std::string target_ = scratch_ / "out";
};

std::vector<std::string> Names(const std::list<PackageEntry>& entries) {
    std::vector<std::string> names;
    for (const PackageEntry& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

TEST_F(PackageLoadTest, ReadsRecordsAndNamesInDirectoryOrder) {
    TestPackageBuilder builder;
    builder.folder("\\setup").file("\\setup\\setup.ini", "[startup]\n1=a.exe\n");
    builder.writeTo(package_);
    const std::string bytes = builder.build();

    PackageExtractor extractor(package_);
    ASSERT_TRUE(extractor.loadDirectory());
    const std::list<PackageEntry>& entries = extractor.getFileList();
    ASSERT_EQ(Names(entries), (std::vector<std::string>{"\\setup", "\\setup\\setup.ini"}));
    const PackageEntry& folder = entries.front();
    EXPECT_EQ(folder.type, kTypeFolder);
    EXPECT_EQ(folder.fileSize, 0u);
    EXPECT_EQ(folder.dataOffset, 0u);
    const PackageEntry& file = entries.back();
    EXPECT_EQ(file.type, kTypeFile);
    EXPECT_EQ(file.fileSize, 18u);
    EXPECT_EQ(file.storedSize, 18u);
    // The offsets are absolute: the data follows the stub and the 24-byte header.
    EXPECT_EQ(file.dataOffset, 13u + 24u);
    EXPECT_EQ(bytes.substr(file.nameOffset, file.name.size()), file.name);
    EXPECT_EQ(extractor.getFileCount(), 2u);
}

struct BrokenPackage {
    const char* label;
    std::string bytes;
};

std::vector<BrokenPackage> BrokenPackages() {
    const TestPackageBuilder good = TestPackageBuilder().folder("\\a").file("\\a\\b", "data");
    const auto size = static_cast<std::uint32_t>(good.build().size());
    auto with = [&good](auto change) {
        TestPackageBuilder copy = good;
        change(copy);
        return copy.build();
    };
    std::string shortHeader = good.build();
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
        WriteWholeFile(package_, broken.bytes);
        PackageExtractor extractor(package_);
        EXPECT_FALSE(extractor.loadDirectory());
        EXPECT_TRUE(extractor.getFileList().empty());
        EXPECT_EQ(extractor.getFileCount(), 0u);
        EXPECT_EQ(extractor.getCount(), 0u);
        EXPECT_FALSE(extractor.extractFile(target_, 3));
        EXPECT_TRUE(fs::is_empty(target_));
    }
}

TEST_F(PackageLoadTest, MissingPackageFileFailsEveryOperation) {
    PackageExtractor extractor(scratch_ / "absent.bin");
    EXPECT_FALSE(extractor.loadDirectory());
    EXPECT_EQ(extractor.getFileCount(), 0u);
    EXPECT_TRUE(extractor.getFileList().empty());
    EXPECT_FALSE(extractor.extractFile(target_, 3));
}

TEST_F(PackageLoadTest, PackagedFileThatIsNoRegularFileFailsWithoutWaiting) {
    // A FIFO without a writer would block a plain open for reading forever.
    const std::string fifo = scratch_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, target_}) {
        SCOPED_TRACE(path);
        PackageExtractor extractor(path);
        EXPECT_FALSE(extractor.loadDirectory());
        EXPECT_EQ(extractor.getFileCount(), 0u);
        EXPECT_FALSE(extractor.extractFile(target_, 3));
    }
}

TEST_F(PackageLoadTest, EmptyDirectoryLoadsAndExtractsNothing) {
    TestPackageBuilder().writeTo(package_);
    PackageExtractor extractor(package_);
    EXPECT_TRUE(extractor.loadDirectory());
    EXPECT_EQ(extractor.getFileCount(), 0u);
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_TRUE(fs::is_empty(target_));
}

TEST_F(PackageLoadTest, OnlyBitZeroOfTheTypeMakesAFile) {
    TestPackageBuilder builder;
    for (std::uint32_t type = 0; type <= 5; ++type) {
        builder.entry(TestEntry{type, "\\t" + std::to_string(type), "", {}, {}, {}, {}, false});
    }
    builder.writeTo(package_);
    PackageExtractor extractor(package_);
    ASSERT_TRUE(extractor.extractFile(target_, 3));
    for (std::uint32_t type = 0; type <= 5; ++type) {
        SCOPED_TRACE(type);
        const fs::path path = fs::path(target_) / ("t" + std::to_string(type));
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
    builder.file(longName, "x");
    builder.entry(TestEntry{kTypeFile, "\\second", "y", 260u, {}, {}, {}, false});
    builder.file("\\third", "z");
    builder.writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.loadDirectory());
    // The entries before the failing record stay.
    ASSERT_EQ(Names(extractor.getFileList()), std::vector<std::string>{longName});
}

TEST_F(PackageLoadTest, PartialLoadIsKeptAndExtractedWithoutReloading) {
    TestPackageBuilder builder;
    builder.folder("\\a").file("\\a\\one", "1");
    builder.entry(TestEntry{kTypeFile, "\\a\\two", "2", 4000u, {}, {}, {}, false});
    builder.writeTo(package_);

    PackageExtractor extractor(package_);
    // The first load fails and so counts 0; the entries it read stay and are not read again.
    EXPECT_EQ(extractor.getFileCount(), 0u);
    EXPECT_EQ(extractor.getFileCount(), 2u);
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(target_ + "/a/one"), "1");
    EXPECT_FALSE(fs::exists(target_ + "/a/two"));
}

TEST_F(PackageLoadTest, OddNamesAreCutAtWhatWasRead) {
    auto build = [](std::uint32_t lastNameOffset) {
        TestPackageBuilder builder;
        builder.entry(TestEntry{kTypeFolder, "\\zero", "", 0u, {}, {}, {}, false});
        builder.entry(
            TestEntry{kTypeFolder, std::string("\\cut\0rest", 9), "", {}, {}, {}, {}, false});
        builder.entry(TestEntry{kTypeFolder, "\\nonul", "", {}, {}, {}, {}, true});
        builder.entry(TestEntry{kTypeFolder, "\\nowhere", "", {}, 0xFFFFFF00u, {}, {}, false});
        // The last name starts at the trailer; its length word is the record's own data offset
        // field (10), so 10 bytes are asked for and only the 4 trailer bytes exist.
        builder.entry(TestEntry{kTypeFile, "\\partial", "", {}, lastNameOffset, 0u, 10u, false});
        return builder;
    };
    const auto size = static_cast<std::uint32_t>(build(0).build().size());
    build(size - 4).writeTo(package_);

    PackageExtractor extractor(package_);
    ASSERT_TRUE(extractor.loadDirectory());
    // The stub is 13 bytes long, so the trailer is 0d 00 00 00.
    EXPECT_EQ(Names(extractor.getFileList()),
              (std::vector<std::string>{"", "\\cut", "\\nonul", "", "\r"}));
}

} // namespace
} // namespace setup::test
