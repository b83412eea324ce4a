#include "ScratchFolder.h"
#include "TestPackageBuilder.h"
#include "kivCPackageExtractor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

class PackageExtractTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(m_target); }

    ScratchFolder m_scratch;
    std::string m_package = m_scratch / "setup.bin";
    std::string m_target = m_scratch / "out";
};

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 31 + i / 1024) & 0xFF);
    }
    return data;
}

TEST_F(PackageExtractTest, CopiesFilesOfEverySizeAroundTheBlockSize) {
    const std::vector<std::size_t> sizes = {0, 1, 1023, 1024, 1025, 3072, 5000};
    TestPackageBuilder builder;
    builder.Folder("\\setup").Folder("\\setup\\lang");
    for (std::size_t size : sizes) {
        builder.File("\\setup\\lang\\f" + std::to_string(size), Pattern(size));
    }
    builder.WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    // The stub hands a folder ending in a backslash; the doubled separator is harmless.
    ASSERT_TRUE(extractor.ExtractFile(m_target + "\\", 3));
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(ReadWholeFile(m_target + "/setup/lang/f" + std::to_string(size)), Pattern(size));
    }
}

TEST_F(PackageExtractTest, ModeNeedsOneOfItsTwoLowBits) {
    TestPackageBuilder().File("\\f", "x").WriteTo(m_package);
    for (std::uint32_t mode : {0u, 4u, 8u, 0xFFFFFFFCu}) {
        SCOPED_TRACE(mode);
        kivCPackageExtractor extractor(m_package);
        EXPECT_FALSE(extractor.ExtractFile(m_target, mode));
        EXPECT_TRUE(fs::is_empty(m_target));
    }
    for (std::uint32_t mode : {1u, 2u, 3u, 7u}) {
        SCOPED_TRACE(mode);
        fs::remove_all(m_target + "/f");
        kivCPackageExtractor extractor(m_package);
        EXPECT_TRUE(extractor.ExtractFile(m_target, mode));
        EXPECT_TRUE(fs::exists(m_target + "/f"));
    }
}

TEST_F(PackageExtractTest, MissingTargetFolderTouchesNothing) {
    TestPackageBuilder().Folder("\\a").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_scratch / "absent", 3));
    EXPECT_FALSE(fs::exists(m_scratch / "absent"));
}

TEST_F(PackageExtractTest, ContinueCallbackStopsAfterTheCurrentEntryWithSuccess) {
    TestPackageBuilder().File("\\first", "1").File("\\second", "2").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    std::vector<std::pair<std::int32_t, std::string>> progress;
    extractor.SetProgressProc([&progress](std::int32_t value, const std::string& name) {
        progress.emplace_back(value, name);
    });
    extractor.SetContinueProc([] { return false; });

    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_TRUE(fs::exists(m_target + "/first"));
    EXPECT_FALSE(fs::exists(m_target + "/second"));
    EXPECT_EQ(progress, (std::vector<std::pair<std::int32_t, std::string>>{{0, "\\first"}}));
}

TEST_F(PackageExtractTest, ProgressSeesEveryEntryInOrder) {
    TestPackageBuilder().Folder("\\a").File("\\a\\b", "b").File("\\c", "").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    std::vector<std::string> seen;
    int asked = 0;
    extractor.SetProgressProc(
        [&seen](std::int32_t, const std::string& name) { seen.push_back(name); });
    extractor.SetContinueProc([&asked] { return ++asked > 0; });
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(seen, (std::vector<std::string>{"\\a", "\\a\\b", "\\c"}));
    EXPECT_EQ(asked, 3);
}

TEST_F(PackageExtractTest, ExistingFolderIsKeptAndExistingFileReplaced) {
    fs::create_directory(m_target + "/keep");
    WriteWholeFile(m_target + "/keep/old.txt", "old contents");
    WriteWholeFile(m_target + "/keep/replace.txt", "a much longer previous content");
    TestPackageBuilder().Folder("\\keep").File("\\keep\\replace.txt", "new").WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_target + "/keep/old.txt"), "old contents");
    EXPECT_EQ(ReadWholeFile(m_target + "/keep/replace.txt"), "new");
}

TEST_F(PackageExtractTest, FailingEntryStopsTheRunAndKeepsWhatWasWritten) {
    struct Case {
        const char* label;
        TestPackageBuilder builder;
    };
    std::vector<Case> cases;
    cases.push_back({"stored size beyond the file",
                     TestPackageBuilder()
                         .File("\\ok", "ok")
                         .Entry(TestEntry{kTypeFile, "\\bad", "abc", {}, {}, 100000u, {}, false})});
    cases.push_back(
        {"data offset beyond the file",
         TestPackageBuilder()
             .File("\\ok", "ok")
             .Entry(TestEntry{kTypeFile, "\\bad", "abc", {}, {}, {}, 0xFFFFFF00u, false})});
    cases.push_back({"folder whose parent is missing",
                     TestPackageBuilder().File("\\ok", "ok").Folder("\\missing\\bad")});
    cases.push_back({"file whose folder is missing",
                     TestPackageBuilder().File("\\ok", "ok").File("\\missing\\bad", "x")});
    cases.push_back({"file where a folder stands",
                     TestPackageBuilder().File("\\ok", "ok").Folder("\\bad").File("\\bad", "x")});
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(m_target);
        fs::create_directory(m_target);
        c.builder.File("\\after", "never").WriteTo(m_package);
        kivCPackageExtractor extractor(m_package);
        EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
        EXPECT_EQ(ReadWholeFile(m_target + "/ok"), "ok");
        EXPECT_FALSE(fs::exists(m_target + "/after"));
    }
}

TEST_F(PackageExtractTest, ShortCopyLeavesThePartialFileOnDisk) {
    // 3000 bytes promised, about 1100 available before the end of the file.
    TestPackageBuilder builder;
    builder.Entry(TestEntry{kTypeFile, "\\part", Pattern(1100), {}, {}, 3000u, {}, false});
    builder.WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
    const std::string written = ReadWholeFile(m_target + "/part");
    // Only whole blocks that could be read were written.
    EXPECT_EQ(written.size() % kCopyBlockSize, 0u);
    EXPECT_EQ(written, Pattern(1100).substr(0, written.size()));
}

TEST_F(PackageExtractTest, ExtractEntryNeedsTheHandleThatExtractFileOpens) {
    TestPackageBuilder().File("\\a", "alpha").File("\\b", "beta").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    const PackageEntry first = extractor.GetFileList().front();
    EXPECT_FALSE(extractor.ExtractEntry(first, m_scratch / "copy"));
    EXPECT_FALSE(fs::exists(m_scratch / "copy"));

    // While ExtractFile runs (here: from its continue callback) the handle is open.
    bool copied = false;
    const std::string copyPath = m_scratch / "copy";
    extractor.SetContinueProc([&] {
        copied = extractor.ExtractEntry(first, copyPath);
        return false;
    });
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_TRUE(copied);
    EXPECT_EQ(ReadWholeFile(copyPath), "alpha");
    EXPECT_FALSE(extractor.ExtractEntry(first, copyPath + "2"));
}

TEST_F(PackageExtractTest, ExtractEntryRefusesAnEmptyOutputPath) {
    TestPackageBuilder().Folder("\\a").File("\\b", "beta").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    std::vector<bool> results;
    extractor.SetContinueProc([&] {
        for (const PackageEntry& entry : extractor.GetFileList()) {
            results.push_back(extractor.ExtractEntry(entry, ""));
        }
        return false;
    });
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(results, (std::vector<bool>{false, false}));
}

TEST_F(PackageExtractTest, ReloadFromACallbackKeepsTheListBeingExtracted) {
    TestPackageBuilder().File("\\a", "1").File("\\b", "2").File("\\c", "3").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    bool reloaded = true;
    extractor.SetContinueProc([&] {
        reloaded = extractor.LoadDirectory();
        return true;
    });
    EXPECT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_FALSE(reloaded);
    EXPECT_EQ(ReadWholeFile(m_target + "/c"), "3");
    EXPECT_TRUE(extractor.LoadDirectory());
}

class CountingExtractor : public kivCPackageExtractor {
public:
    using kivCPackageExtractor::kivCPackageExtractor;
    std::size_t GetFileCount() override { return 42; }
};

TEST(PackageExtractorCount, GetCountGoesThroughTheVirtualFileCount) {
    CountingExtractor extractor("unused");
    kivCPackageExtractor& base = extractor;
    EXPECT_EQ(base.GetCount(), 42u);
}

} // namespace
} // namespace setup::test
