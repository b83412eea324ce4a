#include "setup/StartBitmapFiles.h"

#include "setup/PackageExtractor.h"
#include "setup/tests/FakeSetupPlatform.h"
#include "setup/tests/LogLines.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The start-bitmap window's files with a package built by the test as the program's own file
// and scratch/tmp as the system temporary folder. The log is on; its first line is a marker.
class StartBitmapFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(systemTemp_);
        log_.setLogOn(true);
        log_.log("marker");
    }

    // The messages logged since the last call (the log writes each one when the next comes,
    // so a marker message pushes them out).
    Lines logged() {
        log_.log("flush");
        const Lines all = LogMessages(logPath_);
        Lines messages;
        for (std::size_t i = seen_; i < all.size(); ++i) {
            if (all[i] != "marker" && all[i] != "flush") {
                messages.push_back(all[i]);
            }
        }
        seen_ = all.size();
        return messages;
    }

    std::size_t seen_ = 0;

    ScratchFolder scratch_;
    std::string package_ = scratch_ / "setup";
    std::string systemTemp_ = scratch_ / "tmp/";
    std::string logPath_ = scratch_ / "ql_inst.log";
    SetupLog log_{logPath_, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, OsVersion{true, 10}};
    FakeSetupPlatform platform_{package_, systemTemp_};
    StartBitmapFiles files_{log_, platform_};
};

TEST_F(StartBitmapFilesTest, BitmapNamedInAnyCaseIsExtractedAndClearedAgain) {
    TestPackageBuilder()
        .folder("\\SETUP")
        .file("\\SETUP\\SETUP.INI", "[bitmap]\r\nStart_Bitmap=header.BMP\r\n")
        .file("\\setup\\Header.bmp", "BM picture")
        .writeTo(package_);
    ASSERT_TRUE(files_.extraStartBitmap());
    EXPECT_EQ(files_.bitmapPath(), systemTemp_ + "Header.bmp");
    EXPECT_EQ(ReadWholeFile(systemTemp_ + "Header.bmp"), "BM picture");
    EXPECT_EQ(ReadWholeFile(systemTemp_ + "setup.ini"), "[bitmap]\r\nStart_Bitmap=header.BMP\r\n");
    EXPECT_EQ(logged(), (Lines{"Do CMainWindow::ExtractFile: " + systemTemp_ + "setup.ini",
                               "Finish CMainWindow::ExtractFile().",
                               "Do CMainWindow::ExtractFile():" + systemTemp_ + "Header.bmp",
                               "Finish CMainWindow::ExtractFile().",
                               "Finish CMainWindow::ExtraStartBitmap()."}));
    files_.clearStartBitmap();
    EXPECT_TRUE(files_.bitmapPath().empty());
    EXPECT_TRUE(fs::is_empty(systemTemp_));
}

TEST_F(StartBitmapFilesTest, ConfiguredBitmapOutsideThePackageIsShownButNeverDeleted) {
    const std::string precious = scratch_ / "precious.bmp";
    WriteWholeFile(precious, "the user's own file");
    TestPackageBuilder()
        .folder("\\setup")
        .file("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=" + precious + "\r\n")
        .writeTo(package_);
    ASSERT_TRUE(files_.extraStartBitmap());
    EXPECT_EQ(files_.bitmapPath(), precious);
    files_.clearStartBitmap();
    EXPECT_EQ(ReadWholeFile(precious), "the user's own file");
    EXPECT_TRUE(fs::is_empty(systemTemp_));
}

TEST_F(StartBitmapFilesTest, NamePartsThatWouldLeaveTheTemporaryFolderAreRefused) {
    const std::string victim = scratch_ / "victim";
    for (const std::string& part : {std::string("../victim"), std::string(".."), std::string("."),
                                    std::string("sub/x.bmp"), std::string()}) {
        SCOPED_TRACE(part);
        TestPackageBuilder()
            .folder("\\setup")
            .file("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=" + part + "\r\n")
            .file("\\setup\\" + part, "evil")
            .writeTo(package_);
        StartBitmapFiles files(log_, platform_);
        ASSERT_TRUE(files.extraStartBitmap());
        EXPECT_FALSE(fs::exists(victim));
        files.clearStartBitmap();
        EXPECT_TRUE(fs::is_empty(systemTemp_));
        EXPECT_TRUE(fs::exists(scratch_ / "setup"));
    }
}

TEST_F(StartBitmapFilesTest, ConfigurationProblemsEndTheWindow) {
    struct Case {
        const char* label;
        TestPackageBuilder package;
        bool created;
        Lines logged; // %T is the temporary folder
    };
    std::vector<Case> cases;
    cases.push_back({"no bitmap section",
                     TestPackageBuilder().file("\\setup\\setup.ini", "[startup]\r\n1=a\r\n"),
                     false,
                     {"Do CMainWindow::ExtractFile: %Tsetup.ini",
                      "Finish CMainWindow::ExtractFile().", "Can't get bitmap section."}});
    cases.push_back(
        {"no Start_Bitmap key",
         TestPackageBuilder().file("\\setup\\setup.ini", "[bitmap]\r\n").file("\\x", "x"),
         true,
         {"Do CMainWindow::ExtractFile: %Tsetup.ini", "Finish CMainWindow::ExtractFile().",
          "Finish CMainWindow::ExtraStartBitmap()."}});
    // Without the configuration the last entry's name is read as a path, which is not there.
    cases.push_back({"no configuration",
                     TestPackageBuilder().folder("\\setup").file("\\setup\\a", "x"),
                     false,
                     {"Can't load setup.ini:/setup/a"}});
    cases.push_back({"empty package", TestPackageBuilder(), false, {"Can't load setup.ini:"}});
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.package.writeTo(package_);
        logged();
        StartBitmapFiles files(log_, platform_);
        EXPECT_EQ(files.extraStartBitmap(), c.created);
        EXPECT_TRUE(files.bitmapPath().empty());
        Lines expected;
        for (std::string line : c.logged) {
            if (const std::size_t at = line.find("%T"); at != std::string::npos) {
                line.replace(at, 2, systemTemp_);
            }
            expected.push_back(line);
        }
        EXPECT_EQ(logged(), expected);
        files.clearStartBitmap();
        EXPECT_TRUE(fs::is_empty(systemTemp_));
    }
}

TEST_F(StartBitmapFilesTest, PlantedConfigurationIsNotReadWhenTheCopyFails) {
    // Someone else's file behind a link at the configuration's place: the copy refuses the
    // link, and what the link leads to is not read in place of the package's configuration.
    const std::string planted = scratch_ / "planted.ini";
    WriteWholeFile(planted, "[bitmap]\r\nStart_Bitmap=x.bmp\r\n");
    fs::create_symlink(planted, systemTemp_ + "setup.ini");
    TestPackageBuilder()
        .file("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=\r\n")
        .writeTo(package_);
    EXPECT_FALSE(files_.extraStartBitmap());
    EXPECT_EQ(logged(), (Lines{"Do CMainWindow::ExtractFile: " + systemTemp_ + "setup.ini",
                               "Can't read file: " + systemTemp_ + "setup.ini",
                               "Finish CMainWindow::ExtractFile().",
                               "Can't load setup.ini:" + systemTemp_ + "setup.ini"}));
    files_.clearStartBitmap();
    EXPECT_TRUE(fs::is_symlink(systemTemp_ + "setup.ini"));
}

TEST_F(StartBitmapFilesTest, SingleEntryCopyOnlyCopiesFiles) {
    TestPackageBuilder().folder("\\setup").file("\\setup\\a", "alpha").writeTo(package_);
    PackageExtractor extractor(package_);
    const std::list<PackageEntry>& entries = extractor.getFileList();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(files_.extractFile(entries.front(), package_, systemTemp_ + "folder"));
    EXPECT_FALSE(files_.extractFile(entries.back(), scratch_ / "absent", systemTemp_ + "a"));
    EXPECT_TRUE(files_.extractFile(entries.back(), package_, systemTemp_ + "a"));
    EXPECT_EQ(ReadWholeFile(systemTemp_ + "a"), "alpha");
    EXPECT_EQ(
        logged(),
        (Lines{"Finish CMainWindow::ExtractFile().", "Can't read file: " + (scratch_ / "absent"),
               "Finish CMainWindow::ExtractFile().", "Finish CMainWindow::ExtractFile()."}));
}

} // namespace
} // namespace setup::test
