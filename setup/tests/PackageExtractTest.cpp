#include "setup/kivCPackageExtractor.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
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
    const std::vector<std::size_t> sizes = {0,    1,     1023,  1024,  1025,  3072,
                                            5000, 65535, 65536, 65537, 200001};
    TestPackageBuilder builder;
    builder.Folder("\\setup").Folder("\\setup\\lang");
    for (std::size_t size : sizes) {
        builder.File("\\setup\\lang\\f" + std::to_string(size), Pattern(size));
    }
    builder.WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    // The stub hands a folder ending in a separator; the doubled separator is harmless.
    ASSERT_TRUE(extractor.ExtractFile(m_target + "/", 3));
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

TEST_F(PackageExtractTest, ShortCopyLeavesTheWholeKiloByteBlocksBeforeTheEnd) {
    // A stored size that reaches past the end of the package: the file keeps the whole
    // 1,024-byte blocks that the package still holds, and the entry fails.
    struct Case {
        std::uint32_t storedSize;
        std::uint32_t available; // bytes from the data offset to the end of the package
        std::size_t written;
    };
    const std::vector<Case> cases = {
        {3000, 1100, 1024}, {100000, 70000, 69632}, {5000, 500, 0},
        {2048, 2047, 1024}, {1024, 1023, 0},        {70000, 69999, 69632},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.storedSize);
        auto build = [&c](std::uint32_t dataOffset) {
            TestPackageBuilder builder;
            builder.File("\\filler", Pattern(80000));
            builder.Entry(
                TestEntry{kTypeFile, "\\part", "", {}, {}, c.storedSize, dataOffset, false});
            builder.File("\\after", "never");
            return builder;
        };
        const auto size = static_cast<std::uint32_t>(build(0).Build().size());
        const TestPackageBuilder builder = build(size - c.available);
        builder.WriteTo(m_package);
        fs::remove_all(m_target);
        fs::create_directory(m_target);

        kivCPackageExtractor extractor(m_package);
        EXPECT_FALSE(extractor.ExtractFile(m_target, 3));
        const std::string bytes = builder.Build();
        EXPECT_EQ(ReadWholeFile(m_target + "/part"), bytes.substr(size - c.available, c.written));
        EXPECT_FALSE(fs::exists(m_target + "/after"));
    }
}

TEST_F(PackageExtractTest, ExistingNamesAreFoundRegardlessOfLetterCase) {
    fs::create_directory(m_target + "/Setup");
    WriteWholeFile(m_target + "/Setup/SETUP.INI", "old");
    WriteWholeFile(m_target + "/Setup/a.txt", "old exact");
    WriteWholeFile(m_target + "/Setup/A.TXT", "old capitals");
    TestPackageBuilder()
        .Folder("\\setup")
        .File("\\setup\\setup.ini", "new ini")
        .File("\\SETUP\\a.txt", "new exact")
        .File("\\setup\\New.txt", "first")
        .File("\\setup\\NEW.TXT", "second")
        .WriteTo(m_package);

    kivCPackageExtractor extractor(m_package);
    ASSERT_TRUE(extractor.ExtractFile(m_target, 3));
    // An existing entry keeps its spelling; a name spelled exactly as it exists wins over
    // another spelling; a new entry gets the package's spelling, and a later entry of the
    // same name in another case replaces it.
    std::set<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(m_target)) {
        names.insert(fs::relative(item.path(), m_target).string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"Setup", "Setup/SETUP.INI", "Setup/a.txt",
                                            "Setup/A.TXT", "Setup/New.txt"}));
    EXPECT_EQ(ReadWholeFile(m_target + "/Setup/SETUP.INI"), "new ini");
    EXPECT_EQ(ReadWholeFile(m_target + "/Setup/a.txt"), "new exact");
    EXPECT_EQ(ReadWholeFile(m_target + "/Setup/A.TXT"), "old capitals");
    EXPECT_EQ(ReadWholeFile(m_target + "/Setup/New.txt"), "second");
}

TEST_F(PackageExtractTest, Windows1252NamesBecomeUtf8FileNames) {
    // C9 is a capital e acute, E9 its small letter, 80 the euro sign, 9A a small s caron and
    // 8A its capital.
    TestPackageBuilder()
        .Folder("\\\xC9T\xC9")
        .File("\\\xE9t\xE9\\prix \x80.txt", "10")
        .File("\\\xE9T\xC9\\\x8Akoda", "car")
        .File("\\\xE9t\xE9\\\x9Akoda", "same car")
        .WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    ASSERT_TRUE(extractor.ExtractFile(m_target, 3));
    EXPECT_EQ(ReadWholeFile(m_target + "/\u00C9T\u00C9/prix \u20AC.txt"), "10");
    EXPECT_EQ(ReadWholeFile(m_target + "/\u00C9T\u00C9/\u0160koda"), "same car");
    EXPECT_FALSE(fs::exists(m_target + "/\u00C9T\u00C9/\u0161koda"));
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
