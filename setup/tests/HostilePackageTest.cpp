#include "setup/EntryPath.h"
#include "setup/kivCPackageExtractor.h"
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
        fs::create_directory(m_target);
        fs::create_directory(m_outside);
        WriteWholeFile(m_outside + "/victim", "precious");
    }

    // Every path under the scratch folder that is not inside the target.
    std::set<std::string> OutsideTarget() const {
        std::set<std::string> paths;
        for (const auto& item : fs::recursive_directory_iterator(m_scratch.Path())) {
            const std::string path = item.path().string();
            if (path.rfind(m_target + "/", 0) != 0) {
                paths.insert(path);
            }
        }
        return paths;
    }

    ScratchFolder m_scratch;
    std::string m_package = m_scratch / "setup.bin";
    std::string m_target = m_scratch / "out";
    std::string m_outside = m_scratch / "outside";
};

TEST_F(HostilePackageTest, NameLeavingTheTargetStopsExtractionWithoutWritingOutside) {
    for (const char* name : {"\\..\\escaped", "\\..\\outside\\victim", "\\sub\\..\\..\\escaped",
                             "\\\\escaped", "\\C:\\escaped"}) {
        SCOPED_TRACE(name);
        fs::remove_all(m_target);
        fs::create_directory(m_target);
        TestPackageBuilder builder;
        builder.Folder("\\sub").File("\\sub\\before", "b").File(name, "evil").File("\\after", "a");
        builder.WriteTo(m_package);
        const std::set<std::string> before = OutsideTarget();

        kivCPackageExtractor extractor(m_package);
        EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
        EXPECT_EQ(OutsideTarget(), before);
        EXPECT_EQ(ReadWholeFile(m_outside + "/victim"), "precious");
        EXPECT_TRUE(fs::exists(m_target + "/sub/before"));
        EXPECT_FALSE(fs::exists(m_target + "/after"));
    }
}

TEST_F(HostilePackageTest, FolderLinkPlantedInTheTargetIsNotWrittenThrough) {
    fs::create_directory_symlink(m_outside, m_target + "/sub");
    TestPackageBuilder().Folder("\\sub").File("\\sub\\victim", "evil").WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_outside + "/victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(m_target + "/sub"));
}

TEST_F(HostilePackageTest, LinkDeeperInThePathIsNotWrittenThrough) {
    fs::create_directory(m_target + "/a");
    fs::create_directory_symlink(m_outside, m_target + "/a/b");
    TestPackageBuilder().File("\\a\\b\\victim", "evil").Folder("\\a\\b\\new").WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_outside + "/victim"), "precious");
    EXPECT_FALSE(fs::exists(m_outside + "/new"));
}

TEST_F(HostilePackageTest, FileLinkPlantedInTheTargetIsRefusedAndKept) {
    fs::create_symlink(m_outside + "/victim", m_target + "/setup.ini");
    TestPackageBuilder().File("\\setup.ini", "evil").WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_outside + "/victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(m_target + "/setup.ini"));
}

TEST_F(HostilePackageTest, DanglingLinkIsNotFollowedToCreateAFile) {
    fs::create_symlink(m_outside + "/created", m_target + "/x");
    TestPackageBuilder().File("\\x", "evil").WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    EXPECT_FALSE(fs::exists(m_outside + "/created"));
}

TEST_F(HostilePackageTest, HugeEntryCountFailsTheLoadAtOnce) {
    TestPackageBuilder builder;
    builder.File("\\a", "x");
    builder.entryCount = 0x7FFFFFFFu;
    builder.WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.LoadDirectory());
    EXPECT_TRUE(extractor.GetFileList().empty());
}

} // namespace
} // namespace setup::test
