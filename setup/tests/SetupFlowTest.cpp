#include "setup/SetupFlow.h"

#include "setup/tests/FakeSetupPlatform.h"
#include "setup/tests/LogLines.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/ScriptedWindows.h"
#include "setup/tests/TestPackageBuilder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kStart =
    "<========================= Start log setup process ===================================>";
const std::string kConfiguration = "[startup]\r\n1=one.sh\r\n2=two.sh\r\n10=ten.sh /x \"a b\"\r\n";

// A run of the flow against a package built by the test, the fake platform and scripted
// windows. The program's own file is the package; the system temporary folder is scratch/tmp.
class SetupFlowTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(systemTemp_); }

    // The usual package: the "setup" folder, three programs, the configuration, two more files.
    static TestPackageBuilder package(const std::string& configuration = kConfiguration) {
        TestPackageBuilder builder;
        builder.folder("\\setup")
            .file("\\setup\\one.sh", "1")
            .file("\\setup\\ten.sh", "10")
            .file("\\setup\\two.sh", "2")
            .file("\\setup\\setup.ini", configuration)
            .file("\\setup\\data1", "d1")
            .file("\\setup\\data2", "d2");
        return builder;
    }

    int Run(const std::string& arguments) {
        const std::string commandLine = "/opt/my setup/setup" + arguments;
        SetupLog log(
            logPath_, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, platform_.queryOsVersion());
        SetupFlow flow(log, platform_, *windows_);
        return flow.run(commandLine, std::string("/opt/my setup/setup").size());
    }

    std::string tempFolder() const {
        return platform_.tempFolders.empty() ? std::string() : platform_.tempFolders.front();
    }

    ScratchFolder scratch_;
    std::string package_ = scratch_ / "setup";
    std::string systemTemp_ = scratch_ / "tmp/";
    std::string logPath_ = scratch_ / "ql_inst.log";
    FakeSetupPlatform platform_{package_, systemTemp_};
    std::unique_ptr<ScriptedWindows> windows_ = std::make_unique<ScriptedWindows>();
};

TEST_F(SetupFlowTest, SilentRunStartsTheProgramsInKeyOrderAndCleansUp) {
    package().writeTo(package_);
    WriteWholeFile(systemTemp_ + "setup.exe", "left by a real setup");

    EXPECT_EQ(Run(" /i"), 0);
    const std::string folder = tempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(platform_.started,
              (Lines{folder + "setup/one.sh|/i", folder + "setup/ten.sh|/x|a b|/i",
                     folder + "setup/two.sh|/i"}));
    EXPECT_EQ(platform_.waited, (std::vector<ProcessId>{1, 2, 3}));
    EXPECT_EQ(windows_->calls, (Lines{"CreateProgressDialog", "MoveDialogToCorner",
                                      "RunMessageLoop", "DestroyProgressDialog"}));
    EXPECT_EQ(windows_->range, 7u);
    EXPECT_EQ(windows_->stepsShown, 7u);
    EXPECT_TRUE(windows_->dialogClosed);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(systemTemp_ + "setup.exe"));
    // The closing banner stays pending: the log writes each message when the next arrives.
    EXPECT_EQ(LogMessages(logPath_),
              (Lines{kStart, "Do kivCDlgProg::Create().", " Do kivCDlgProg::MoveWindowToCorner().",
                     " Create extractor thead, and begin to exactor package.",
                     "Extractor thread finish and begin to start real setup applicatin:",
                     "Clear start bitmap:", "Call real setup application.",
                     "The real setup application process finished.", "Call real setup application.",
                     "The real setup application process finished.", "Call real setup application.",
                     "The real setup application process finished.",
                     "Delete the setup in Temp folder.", "Delete Temp folder."}));
}

TEST_F(SetupFlowTest, SwitchesDecideTheWindowsTheLogAndTheTail) {
    struct Case {
        std::string arguments;
        Lines calls;
        bool logged;
        std::string tail;
    };
    const Lines visible = {"CreateProgressDialog", "CreateMainWindow", "MoveDialogToCorner",
                           "ShowDialog",           "RunMessageLoop",   "DestroyMainWindow",
                           "DestroyProgressDialog"};
    const std::vector<Case> cases = {
        {" /L", visible, true, "|/L"},
        {" /l extra", visible, true, "|/l|extra"},
        {" /q", visible, false, ""},
        {"", visible, false, ""},
        {" /I",
         {"CreateProgressDialog", "MoveDialogToCorner", "RunMessageLoop", "DestroyProgressDialog"},
         true,
         "|/I"},
    };
    package().writeTo(package_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        fs::remove(logPath_);
        platform_.started.clear();
        platform_.tempFolders.clear();
        windows_->calls.clear();
        EXPECT_EQ(Run(c.arguments), 0);
        EXPECT_EQ(windows_->calls, c.calls);
        EXPECT_EQ(fs::exists(logPath_), c.logged);
        ASSERT_EQ(platform_.started.size(), 3u);
        EXPECT_EQ(platform_.started.front(), tempFolder() + "setup/one.sh" + c.tail);
    }
}

TEST_F(SetupFlowTest, ProgramThatCannotStartIsLoggedAndTheNextStillRuns) {
    package().writeTo(package_);
    platform_.failingPrograms = {"ten.sh"};
    EXPECT_EQ(Run(" /i"), 1);
    const std::string folder = tempFolder();
    EXPECT_EQ(platform_.started, (Lines{folder + "setup/one.sh|/i", folder + "setup/two.sh|/i"}));
    const Lines messages = LogMessages(logPath_);
    const Lines expectedRuns = {"Call real setup application.",
                                "The real setup application process finished.",
                                "Call real setup application.",
                                "Error : Create installer process failed:ten.sh /x \"a b\"",
                                "Call real setup application.",
                                "The real setup application process finished.",
                                "Delete the setup in Temp folder."};
    EXPECT_EQ(Lines(messages.end() - 8, messages.end() - 1), expectedRuns);
}

TEST_F(SetupFlowTest, WithoutATemporaryFolderNothingIsReadOrStarted) {
    package().writeTo(package_);
    platform_.tempFolderFails = true;
    // A configuration and a program in the current folder must not be taken instead.
    const fs::path oldCurrent = fs::current_path();
    fs::create_directories(scratch_ / "here/setup");
    WriteWholeFile(scratch_ / "here/setup/setup.ini", kConfiguration);
    WriteWholeFile(scratch_ / "here/setup/one.sh", "1");
    fs::current_path(scratch_ / "here");
    const int status = Run(" /i");
    fs::current_path(oldCurrent);

    EXPECT_EQ(status, 1);
    EXPECT_TRUE(platform_.started.empty());
    const Lines messages = LogMessages(logPath_);
    EXPECT_EQ(Lines(messages.begin() + 3, messages.end()),
              (Lines{" Create extractor thead, and begin to exactor package.",
                     "Can't create temp directory!",
                     "Extractor thread finish and begin to start real setup applicatin:",
                     "Clear start bitmap:", "Can't load setup.ini: setup/setup.ini",
                     "Delete the setup in Temp folder.", "Delete Temp folder."}));
}

TEST_F(SetupFlowTest, ConfigurationProblemsStartNothingAndFail) {
    struct Case {
        const char* label;
        std::string package;
        std::string logLine; // %T stands for the temporary folder
    };
    std::string noTrailer = package().build();
    noTrailer.resize(noTrailer.size() - 4);
    TestPackageBuilder withoutConfiguration;
    withoutConfiguration.folder("\\setup").file("\\setup\\one.sh", "1");
    const std::vector<Case> cases = {
        {"no configuration", withoutConfiguration.build(),
         "Can't load setup.ini: %Tsetup/setup.ini"},
        {"no startup section", package("[Startup]\r\n1=one.sh\r\n").build(),
         "Can't get startup section."},
        {"key before any section", package("1=one.sh\r\n[startup]\r\n").build(),
         "Can't load setup.ini: %Tsetup/setup.ini"},
        {"empty package", TestPackageBuilder().build(), "Can't load setup.ini: %Tsetup/setup.ini"},
        {"no package", noTrailer, "Can't pExtractor->ExtractFile()!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteWholeFile(package_, c.package);
        fs::remove(logPath_);
        platform_.tempFolders.clear();
        EXPECT_EQ(Run(" /i"), 1);
        EXPECT_TRUE(platform_.started.empty());
        std::string line = c.logLine;
        if (const std::size_t at = line.find("%T"); at != std::string::npos) {
            line.replace(at, 2, tempFolder());
        }
        const Lines messages = LogMessages(logPath_);
        EXPECT_NE(std::find(messages.begin(), messages.end(), line), messages.end()) << line;
        EXPECT_TRUE(fs::is_empty(systemTemp_));
    }
}

TEST_F(SetupFlowTest, CancelStopsAfterTheCurrentEntryAndTheRunGoesOn) {
    package().writeTo(package_);
    windows_->cancelAtStep = 5;
    EXPECT_EQ(Run(" /L"), 1);
    // The configuration (entry 5) was extracted, the two files after it were not; the
    // programs still ran.
    EXPECT_EQ(windows_->stepsShown, 5u);
    EXPECT_EQ(platform_.started.size(), 3u);
    EXPECT_TRUE(windows_->dialogClosed);
}

TEST_F(SetupFlowTest, LoopEndingEarlyNeitherHangsNorStopsTheExtraction) {
    package().writeTo(package_);
    // The start-bitmap window ends the loop at the first step; the extractor goes on with
    // nobody serving its requests, which must not block it.
    windows_->quitAtStep = 1;
    EXPECT_EQ(Run(" /L"), 0);
    EXPECT_EQ(windows_->stepsShown, 1u);
    EXPECT_EQ(windows_->stepsAsked, 7u);
    EXPECT_FALSE(windows_->dialogClosed);
    EXPECT_EQ(platform_.started.size(), 3u);
}

TEST_F(SetupFlowTest, LetterCaseOfThePackageDoesNotMatter) {
    TestPackageBuilder()
        .folder("\\SETUP")
        .file("\\SETUP\\SETUP.INI", "[startup]\r\n1=Bin\\Install.sh /s\r\n")
        .folder("\\SETUP\\BIN")
        .file("\\SETUP\\BIN\\INSTALL.SH", "x")
        .writeTo(package_);
    EXPECT_EQ(Run(" /i"), 0);
    EXPECT_EQ(platform_.started, (Lines{tempFolder() + "SETUP/BIN/INSTALL.SH|/s|/i"}));
}

TEST_F(SetupFlowTest, DotFileKeepsTheTemporaryFolder) {
    package().file("\\setup\\.keep", "").writeTo(package_);
    EXPECT_EQ(Run(" /i"), 0);
    EXPECT_TRUE(fs::exists(tempFolder() + "setup/.keep"));
    EXPECT_FALSE(fs::exists(tempFolder() + "setup/one.sh"));
}

TEST_F(SetupFlowTest, EarlyEndsLogWhatTheyReachAndExtractNothing) {
    package().writeTo(package_);
    struct Case {
        const char* label;
        void (*script)(FakeSetupPlatform&, ScriptedWindows&);
        Lines calls;
        Lines messages;
    };
    const std::vector<Case> cases = {
        {"old system",
         [](FakeSetupPlatform& platform, ScriptedWindows&) {
             platform.osVersion = OsVersion{true, 4};
         },
         {"ShowMessage Information: Win NT not supported."},
         {}},
        // The failure message stays pending, so the log holds two lines.
        {"no progress dialog",
         [](FakeSetupPlatform&, ScriptedWindows& windows) { windows.dialogFails = true; },
         {"CreateProgressDialog", "DestroyProgressDialog"},
         {kStart, "Do kivCDlgProg::Create()."}},
        {"no start-bitmap window",
         [](FakeSetupPlatform&, ScriptedWindows& windows) {
             windows.startBitmapWindowFails = true;
         },
         {"CreateProgressDialog", "CreateMainWindow", "DestroyMainWindow", "DestroyProgressDialog"},
         {kStart, "Do kivCDlgProg::Create()."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(logPath_);
        platform_.osVersion = OsVersion{true, 10};
        windows_ = std::make_unique<ScriptedWindows>();
        c.script(platform_, *windows_);
        EXPECT_EQ(Run(" /L"), 1);
        EXPECT_EQ(windows_->calls, c.calls);
        EXPECT_EQ(LogMessages(logPath_), c.messages);
        EXPECT_TRUE(platform_.tempFolders.empty());
        EXPECT_TRUE(platform_.started.empty());
    }
}

} // namespace
} // namespace setup::test
