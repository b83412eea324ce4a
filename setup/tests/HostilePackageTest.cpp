#include "setup/EntryPath.h"
#include "setup/PackageExtractor.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

TEST(EntryPathComponents, SplitsNamesOnBothSeparators) {
    using Components = std::vector<std::string>;
    const std::vector<std::pair<std::string, Components>> cases = {
        {"\\setup\\setup.ini", {"setup", "setup.ini"}},
        {"\\setup/lang", {"setup", "lang"}},
        {"setup\\x", {"setup", "x"}},
        {"\\a\\\\b\\.\\c\\", {"a", "b", "c"}},
        {"\\..name\\x..y", {"..name", "x..y"}},
        {"\\ab:c", {"ab:c"}},
        {"", {}},
        {"\\", {}},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        const std::optional<Components> components = EntryPathComponents(name);
        ASSERT_TRUE(components.has_value());
        EXPECT_EQ(*components, expected);
    }
}

TEST(EntryPathComponents, RefusesNamesThatLeaveTheTarget) {
    for (const char* name :
         {"\\..\\evil", "..\\evil", "\\a\\..\\..\\evil", "\\a\\..", "\\..", "\\\\server\\share\\x",
          "\\/etc/passwd", "//x", "\\C:\\x", "C:evil", "\\setup\\d:\\x", "\\a/../../b"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(EntryPathComponents(name).has_value());
    }
}

// Extraction into scratch/out; scratch/outside stands for everything beyond the target.
class HostilePackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(target_);
        fs::create_directory(outside_);
        WriteWholeFile(outside_ + "/victim", "precious");
    }

    // Every path under the scratch folder that is not inside the target.
    std::set<std::string> outsideTarget() const {
        std::set<std::string> paths;
        for (const auto& item : fs::recursive_directory_iterator(scratch_.path())) {
            const std::string path = item.path().string();
            if (path.rfind(target_ + "/", 0) != 0) {
                paths.insert(path);
            }
        }
        return paths;
    }

    ScratchFolder scratch_;
    std::string package_ = scratch_ / "setup.bin";
    std::string target_ = scratch_ / "out";
    std::string outside_ = scratch_ / "outside";
};

TEST_F(HostilePackageTest, NameLeavingTheTargetStopsExtractionWithoutWritingOutside) {
    for (const char* name : {"\\..\\escaped", "\\..\\outside\\victim", "\\sub\\..\\..\\escaped",
                             "\\\\escaped", "\\C:\\escaped"}) {
        SCOPED_TRACE(name);
        fs::remove_all(target_);
        fs::create_directory(target_);
        TestPackageBuilder builder;
        builder.folder("\\sub").file("\\sub\\before", "b").file(name, "evil").file("\\after", "a");
        builder.writeTo(package_);
        const std::set<std::string> before = outsideTarget();

        PackageExtractor extractor(package_);
        EXPECT_FALSE(extractor.extractFile(target_, 3));
        EXPECT_EQ(outsideTarget(), before);
        EXPECT_EQ(ReadWholeFile(outside_ + "/victim"), "precious");
        EXPECT_TRUE(fs::exists(target_ + "/sub/before"));
        EXPECT_FALSE(fs::exists(target_ + "/after"));
    }
}

TEST_F(HostilePackageTest, FolderLinkPlantedInTheTargetIsNotWrittenThrough) {
    fs::create_directory_symlink(outside_, target_ + "/sub");
    TestPackageBuilder().folder("\\sub").file("\\sub\\victim", "evil").writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(outside_ + "/victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(target_ + "/sub"));
}

TEST_F(HostilePackageTest, LinkDeeperInThePathIsNotWrittenThrough) {
    fs::create_directory(target_ + "/a");
    fs::create_directory_symlink(outside_, target_ + "/a/b");
    TestPackageBuilder().file("\\a\\b\\victim", "evil").folder("\\a\\b\\new").writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(outside_ + "/victim"), "precious");
    EXPECT_FALSE(fs::exists(outside_ + "/new"));
}

TEST_F(HostilePackageTest, FileLinkPlantedInTheTargetIsRefusedAndKept) {
    fs::create_symlink(outside_ + "/victim", target_ + "/setup.ini");
    TestPackageBuilder().file("\\setup.ini", "evil").writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(outside_ + "/victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(target_ + "/setup.ini"));
}

TEST_F(HostilePackageTest, DanglingLinkIsNotFollowedToCreateAFile) {
    fs::create_symlink(outside_ + "/created", target_ + "/x");
    TestPackageBuilder().file("\\x", "evil").writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.extractFile(target_, 3));
    EXPECT_FALSE(fs::exists(outside_ + "/created"));
}

TEST_F(HostilePackageTest, HugeEntryCountFailsTheLoadAtOnce) {
    TestPackageBuilder builder;
    builder.file("\\a", "x");
    builder.entryCount = 0x7FFFFFFFu;
    builder.writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.loadDirectory());
    EXPECT_TRUE(extractor.getFileList().empty());
}

} // namespace
} // namespace setup::test
