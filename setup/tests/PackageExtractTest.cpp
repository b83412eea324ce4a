#include "setup/PackageExtractor.h"
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
    void SetUp() override { fs::create_directory(target_); }

    ScratchFolder scratch_;
    std::string package_ = scratch_ / "setup.bin";
    std::string target_ = scratch_ / "out";
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
    builder.folder("\\setup").folder("\\setup\\lang");
    for (std::size_t size : sizes) {
        builder.file("\\setup\\lang\\f" + std::to_string(size), Pattern(size));
    }
    builder.writeTo(package_);

    PackageExtractor extractor(package_);
    // The stub hands a folder ending in a separator; the doubled separator is harmless.
    ASSERT_TRUE(extractor.extractFile(target_ + "/", 3));
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        EXPECT_EQ(ReadWholeFile(target_ + "/setup/lang/f" + std::to_string(size)), Pattern(size));
    }
}

TEST_F(PackageExtractTest, ModeNeedsOneOfItsTwoLowBits) {
    TestPackageBuilder().file("\\f", "x").writeTo(package_);
    for (std::uint32_t mode : {0u, 4u, 8u, 0xFFFFFFFCu}) {
        SCOPED_TRACE(mode);
        PackageExtractor extractor(package_);
        EXPECT_FALSE(extractor.extractFile(target_, mode));
        EXPECT_TRUE(fs::is_empty(target_));
    }
    for (std::uint32_t mode : {1u, 2u, 3u, 7u}) {
        SCOPED_TRACE(mode);
        fs::remove_all(target_ + "/f");
        PackageExtractor extractor(package_);
        EXPECT_TRUE(extractor.extractFile(target_, mode));
        EXPECT_TRUE(fs::exists(target_ + "/f"));
    }
}

TEST_F(PackageExtractTest, MissingTargetFolderTouchesNothing) {
    TestPackageBuilder().folder("\\a").writeTo(package_);
    PackageExtractor extractor(package_);
    EXPECT_FALSE(extractor.extractFile(scratch_ / "absent", 3));
    EXPECT_FALSE(fs::exists(scratch_ / "absent"));
}

TEST_F(PackageExtractTest, ContinueCallbackStopsAfterTheCurrentEntryWithSuccess) {
    TestPackageBuilder().file("\\first", "1").file("\\second", "2").writeTo(package_);
    PackageExtractor extractor(package_);
    std::vector<std::pair<std::int32_t, std::string>> progress;
    extractor.setProgressProc([&progress](std::int32_t value, const std::string& name) {
        progress.emplace_back(value, name);
    });
    extractor.setContinueProc([] { return false; });

    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_TRUE(fs::exists(target_ + "/first"));
    EXPECT_FALSE(fs::exists(target_ + "/second"));
    EXPECT_EQ(progress, (std::vector<std::pair<std::int32_t, std::string>>{{0, "\\first"}}));
}

TEST_F(PackageExtractTest, ProgressSeesEveryEntryInOrder) {
    TestPackageBuilder().folder("\\a").file("\\a\\b", "b").file("\\c", "").writeTo(package_);
    PackageExtractor extractor(package_);
    std::vector<std::string> seen;
    int asked = 0;
    extractor.setProgressProc(
        [&seen](std::int32_t, const std::string& name) { seen.push_back(name); });
    extractor.setContinueProc([&asked] { return ++asked > 0; });
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_EQ(seen, (std::vector<std::string>{"\\a", "\\a\\b", "\\c"}));
    EXPECT_EQ(asked, 3);
}

TEST_F(PackageExtractTest, ExistingFolderIsKeptAndExistingFileReplaced) {
    fs::create_directory(target_ + "/keep");
    WriteWholeFile(target_ + "/keep/old.txt", "old contents");
    WriteWholeFile(target_ + "/keep/replace.txt", "a much longer previous content");
    TestPackageBuilder().folder("\\keep").file("\\keep\\replace.txt", "new").writeTo(package_);

    PackageExtractor extractor(package_);
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(target_ + "/keep/old.txt"), "old contents");
    EXPECT_EQ(ReadWholeFile(target_ + "/keep/replace.txt"), "new");
}

TEST_F(PackageExtractTest, FailingEntryStopsTheRunAndKeepsWhatWasWritten) {
    struct Case {
        const char* label;
        TestPackageBuilder builder;
    };
    std::vector<Case> cases;
    cases.push_back({"stored size beyond the file",
                     TestPackageBuilder()
                         .file("\\ok", "ok")
                         .entry(TestEntry{kTypeFile, "\\bad", "abc", {}, {}, 100000u, {}, false})});
    cases.push_back(
        {"data offset beyond the file",
         TestPackageBuilder()
             .file("\\ok", "ok")
             .entry(TestEntry{kTypeFile, "\\bad", "abc", {}, {}, {}, 0xFFFFFF00u, false})});
    cases.push_back({"folder whose parent is missing",
                     TestPackageBuilder().file("\\ok", "ok").folder("\\missing\\bad")});
    cases.push_back({"file whose folder is missing",
                     TestPackageBuilder().file("\\ok", "ok").file("\\missing\\bad", "x")});
    cases.push_back({"file where a folder stands",
                     TestPackageBuilder().file("\\ok", "ok").folder("\\bad").file("\\bad", "x")});
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(target_);
        fs::create_directory(target_);
        c.builder.file("\\after", "never").writeTo(package_);
        PackageExtractor extractor(package_);
        EXPECT_FALSE(extractor.extractFile(target_, 3));
        EXPECT_EQ(ReadWholeFile(target_ + "/ok"), "ok");
        EXPECT_FALSE(fs::exists(target_ + "/after"));
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
            builder.file("\\filler", Pattern(80000));
            builder.entry(
                TestEntry{kTypeFile, "\\part", "", {}, {}, c.storedSize, dataOffset, false});
            builder.file("\\after", "never");
            return builder;
        };
        const auto size = static_cast<std::uint32_t>(build(0).build().size());
        const TestPackageBuilder builder = build(size - c.available);
        builder.writeTo(package_);
        fs::remove_all(target_);
        fs::create_directory(target_);

        PackageExtractor extractor(package_);
        EXPECT_FALSE(extractor.extractFile(target_, 3));
        const std::string bytes = builder.build();
        EXPECT_EQ(ReadWholeFile(target_ + "/part"), bytes.substr(size - c.available, c.written));
        EXPECT_FALSE(fs::exists(target_ + "/after"));
    }
}

TEST_F(PackageExtractTest, ExistingNamesAreFoundRegardlessOfLetterCase) {
    // Two spellings of one name side by side need a file system that tells them apart.
    WriteWholeFile(target_ + "/probe", "");
    const bool foldsCase = fs::exists(target_ + "/PROBE");
    fs::remove(target_ + "/probe");
    if (foldsCase) {
        GTEST_SKIP() << "the file system ignores letter case";
    }
    fs::create_directory(target_ + "/Setup");
    WriteWholeFile(target_ + "/Setup/SETUP.INI", "old");
    WriteWholeFile(target_ + "/Setup/a.txt", "old exact");
    WriteWholeFile(target_ + "/Setup/A.TXT", "old capitals");
    TestPackageBuilder()
        .folder("\\setup")
        .file("\\setup\\setup.ini", "new ini")
        .file("\\SETUP\\a.txt", "new exact")
        .file("\\setup\\New.txt", "first")
        .file("\\setup\\NEW.TXT", "second")
        .writeTo(package_);

    PackageExtractor extractor(package_);
    ASSERT_TRUE(extractor.extractFile(target_, 3));
    // An existing entry keeps its spelling; a name spelled exactly as it exists wins over
    // another spelling; a new entry gets the package's spelling, and a later entry of the
    // same name in another case replaces it.
    std::set<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(target_)) {
        names.insert(fs::relative(item.path(), target_).string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"Setup", "Setup/SETUP.INI", "Setup/a.txt",
                                            "Setup/A.TXT", "Setup/New.txt"}));
    EXPECT_EQ(ReadWholeFile(target_ + "/Setup/SETUP.INI"), "new ini");
    EXPECT_EQ(ReadWholeFile(target_ + "/Setup/a.txt"), "new exact");
    EXPECT_EQ(ReadWholeFile(target_ + "/Setup/A.TXT"), "old capitals");
    EXPECT_EQ(ReadWholeFile(target_ + "/Setup/New.txt"), "second");
}

TEST_F(PackageExtractTest, Windows1252NamesBecomeUtf8FileNames) {
    // C9 is a capital e acute, E9 its small letter, 80 the euro sign, 9A a small s caron and
    // 8A its capital.
    TestPackageBuilder()
        .folder("\\\xC9T\xC9")
        .file("\\\xE9t\xE9\\prix \x80.txt", "10")
        .file("\\\xE9T\xC9\\\x8Akoda", "car")
        .file("\\\xE9t\xE9\\\x9Akoda", "same car")
        .writeTo(package_);
    PackageExtractor extractor(package_);
    ASSERT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_EQ(ReadWholeFile(target_ + "/\u00C9T\u00C9/prix \u20AC.txt"), "10");
    EXPECT_EQ(ReadWholeFile(target_ + "/\u00C9T\u00C9/\u0160koda"), "same car");
    EXPECT_FALSE(fs::exists(target_ + "/\u00C9T\u00C9/\u0161koda"));
}

TEST_F(PackageExtractTest, ExtractEntryNeedsTheHandleThatExtractFileOpens) {
    TestPackageBuilder().file("\\a", "alpha").file("\\b", "beta").writeTo(package_);
    PackageExtractor extractor(package_);
    const PackageEntry first = extractor.getFileList().front();
    EXPECT_FALSE(extractor.extractEntry(first, scratch_ / "copy"));
    EXPECT_FALSE(fs::exists(scratch_ / "copy"));

    // While ExtractFile runs (here: from its continue callback) the handle is open.
    bool copied = false;
    const std::string copyPath = scratch_ / "copy";
    extractor.setContinueProc([&] {
        copied = extractor.extractEntry(first, copyPath);
        return false;
    });
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_TRUE(copied);
    EXPECT_EQ(ReadWholeFile(copyPath), "alpha");
    EXPECT_FALSE(extractor.extractEntry(first, copyPath + "2"));
}

TEST_F(PackageExtractTest, ExtractEntryRefusesAnEmptyOutputPath) {
    TestPackageBuilder().folder("\\a").file("\\b", "beta").writeTo(package_);
    PackageExtractor extractor(package_);
    std::vector<bool> results;
    extractor.setContinueProc([&] {
        for (const PackageEntry& entry : extractor.getFileList()) {
            results.push_back(extractor.extractEntry(entry, ""));
        }
        return false;
    });
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_EQ(results, (std::vector<bool>{false, false}));
}

TEST_F(PackageExtractTest, ReloadFromACallbackKeepsTheListBeingExtracted) {
    TestPackageBuilder().file("\\a", "1").file("\\b", "2").file("\\c", "3").writeTo(package_);
    PackageExtractor extractor(package_);
    bool reloaded = true;
    extractor.setContinueProc([&] {
        reloaded = extractor.loadDirectory();
        return true;
    });
    EXPECT_TRUE(extractor.extractFile(target_, 3));
    EXPECT_FALSE(reloaded);
    EXPECT_EQ(ReadWholeFile(target_ + "/c"), "3");
    EXPECT_TRUE(extractor.loadDirectory());
}

class CountingExtractor : public PackageExtractor {
public:
    using PackageExtractor::PackageExtractor;
    std::size_t getFileCount() override { return 42; }
};

TEST(PackageExtractorCount, GetCountGoesThroughTheVirtualFileCount) {
    CountingExtractor extractor("unused");
    PackageExtractor& base = extractor;
    EXPECT_EQ(base.getCount(), 42u);
}

} // namespace
} // namespace setup::test
