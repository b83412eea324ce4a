#include "setup/StartBitmapFiles.h"

#include "setup/kivCPackageExtractor.h"
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
        fs::create_directory(m_systemTemp);
        m_log.SetLogOn(true);
        m_log.Log("marker");
    }

    // The messages logged since the last call (the log writes each one when the next comes,
    // so a marker message pushes them out).
    Lines Logged() {
        m_log.Log("flush");
        const Lines all = LogMessages(m_logPath);
        Lines messages;
        for (std::size_t i = m_seen; i < all.size(); ++i) {
            if (all[i] != "marker" && all[i] != "flush") {
                messages.push_back(all[i]);
            }
        }
        m_seen = all.size();
        return messages;
    }

    std::size_t m_seen = 0;

    ScratchFolder m_scratch;
    std::string m_package = m_scratch / "setup";
    std::string m_systemTemp = m_scratch / "tmp/";
    std::string m_logPath = m_scratch / "ql_inst.log";
    SetupLog m_log{m_logPath, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, OsVersion{true, 10}};
    FakeSetupPlatform m_platform{m_package, m_systemTemp};
    StartBitmapFiles m_files{m_log, m_platform};
};

TEST_F(StartBitmapFilesTest, BitmapNamedInAnyCaseIsExtractedAndClearedAgain) {
    TestPackageBuilder()
        .Folder("\\SETUP")
        .File("\\SETUP\\SETUP.INI", "[bitmap]\r\nStart_Bitmap=header.BMP\r\n")
        .File("\\setup\\Header.bmp", "BM picture")
        .WriteTo(m_package);
    ASSERT_TRUE(m_files.ExtraStartBitmap());
    EXPECT_EQ(m_files.BitmapPath(), m_systemTemp + "Header.bmp");
    EXPECT_EQ(ReadWholeFile(m_systemTemp + "Header.bmp"), "BM picture");
    EXPECT_EQ(ReadWholeFile(m_systemTemp + "setup.ini"), "[bitmap]\r\nStart_Bitmap=header.BMP\r\n");
    EXPECT_EQ(Logged(), (Lines{"Do CMainWindow::ExtractFile: " + m_systemTemp + "setup.ini",
                               "Finish CMainWindow::ExtractFile().",
                               "Do CMainWindow::ExtractFile():" + m_systemTemp + "Header.bmp",
                               "Finish CMainWindow::ExtractFile().",
                               "Finish CMainWindow::ExtraStartBitmap()."}));
    m_files.ClearStartBitmap();
    EXPECT_TRUE(m_files.BitmapPath().empty());
    EXPECT_TRUE(fs::is_empty(m_systemTemp));
}

TEST_F(StartBitmapFilesTest, ConfiguredBitmapOutsideThePackageIsShownButNeverDeleted) {
    const std::string precious = m_scratch / "precious.bmp";
    WriteWholeFile(precious, "the user's own file");
    TestPackageBuilder()
        .Folder("\\setup")
        .File("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=" + precious + "\r\n")
        .WriteTo(m_package);
    ASSERT_TRUE(m_files.ExtraStartBitmap());
    EXPECT_EQ(m_files.BitmapPath(), precious);
    m_files.ClearStartBitmap();
    EXPECT_EQ(ReadWholeFile(precious), "the user's own file");
    EXPECT_TRUE(fs::is_empty(m_systemTemp));
}

TEST_F(StartBitmapFilesTest, NamePartsThatWouldLeaveTheTemporaryFolderAreRefused) {
    const std::string victim = m_scratch / "victim";
    for (const std::string& part : {std::string("../victim"), std::string(".."), std::string("."),
                                    std::string("sub/x.bmp"), std::string()}) {
        SCOPED_TRACE(part);
        TestPackageBuilder()
            .Folder("\\setup")
            .File("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=" + part + "\r\n")
            .File("\\setup\\" + part, "evil")
            .WriteTo(m_package);
        StartBitmapFiles files(m_log, m_platform);
        ASSERT_TRUE(files.ExtraStartBitmap());
        EXPECT_FALSE(fs::exists(victim));
        files.ClearStartBitmap();
        EXPECT_TRUE(fs::is_empty(m_systemTemp));
        EXPECT_TRUE(fs::exists(m_scratch / "setup"));
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
                     TestPackageBuilder().File("\\setup\\setup.ini", "[startup]\r\n1=a\r\n"),
                     false,
                     {"Do CMainWindow::ExtractFile: %Tsetup.ini",
                      "Finish CMainWindow::ExtractFile().", "Can't get bitmap section."}});
    cases.push_back(
        {"no Start_Bitmap key",
         TestPackageBuilder().File("\\setup\\setup.ini", "[bitmap]\r\n").File("\\x", "x"),
         true,
         {"Do CMainWindow::ExtractFile: %Tsetup.ini", "Finish CMainWindow::ExtractFile().",
          "Finish CMainWindow::ExtraStartBitmap()."}});
    // Without the configuration the last entry's name is read as a path, which is not there.
    cases.push_back({"no configuration",
                     TestPackageBuilder().Folder("\\setup").File("\\setup\\a", "x"),
                     false,
                     {"Can't load setup.ini:/setup/a"}});
    cases.push_back({"empty package", TestPackageBuilder(), false, {"Can't load setup.ini:"}});
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.package.WriteTo(m_package);
        Logged();
        StartBitmapFiles files(m_log, m_platform);
        EXPECT_EQ(files.ExtraStartBitmap(), c.created);
        EXPECT_TRUE(files.BitmapPath().empty());
        Lines expected;
        for (std::string line : c.logged) {
            if (const std::size_t at = line.find("%T"); at != std::string::npos) {
                line.replace(at, 2, m_systemTemp);
            }
            expected.push_back(line);
        }
        EXPECT_EQ(Logged(), expected);
        files.ClearStartBitmap();
        EXPECT_TRUE(fs::is_empty(m_systemTemp));
    }
}

TEST_F(StartBitmapFilesTest, PlantedConfigurationIsNotReadWhenTheCopyFails) {
    // Someone else's file behind a link at the configuration's place: the copy refuses the
    // link, and what the link leads to is not read in place of the package's configuration.
    const std::string planted = m_scratch / "planted.ini";
    WriteWholeFile(planted, "[bitmap]\r\nStart_Bitmap=x.bmp\r\n");
    fs::create_symlink(planted, m_systemTemp + "setup.ini");
    TestPackageBuilder()
        .File("\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=\r\n")
        .WriteTo(m_package);
    EXPECT_FALSE(m_files.ExtraStartBitmap());
    EXPECT_EQ(Logged(), (Lines{"Do CMainWindow::ExtractFile: " + m_systemTemp + "setup.ini",
                               "Can't read file: " + m_systemTemp + "setup.ini",
                               "Finish CMainWindow::ExtractFile().",
                               "Can't load setup.ini:" + m_systemTemp + "setup.ini"}));
    m_files.ClearStartBitmap();
    EXPECT_TRUE(fs::is_symlink(m_systemTemp + "setup.ini"));
}

TEST_F(StartBitmapFilesTest, SingleEntryCopyOnlyCopiesFiles) {
    TestPackageBuilder().Folder("\\setup").File("\\setup\\a", "alpha").WriteTo(m_package);
    kivCPackageExtractor extractor(m_package);
    const std::list<PackageEntry>& entries = extractor.GetFileList();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(m_files.ExtractFile(entries.front(), m_package, m_systemTemp + "folder"));
    EXPECT_FALSE(m_files.ExtractFile(entries.back(), m_scratch / "absent", m_systemTemp + "a"));
    EXPECT_TRUE(m_files.ExtractFile(entries.back(), m_package, m_systemTemp + "a"));
    EXPECT_EQ(ReadWholeFile(m_systemTemp + "a"), "alpha");
    EXPECT_EQ(
        Logged(),
        (Lines{"Finish CMainWindow::ExtractFile().", "Can't read file: " + (m_scratch / "absent"),
               "Finish CMainWindow::ExtractFile().", "Finish CMainWindow::ExtractFile()."}));
}

} // namespace
} // namespace setup::test
