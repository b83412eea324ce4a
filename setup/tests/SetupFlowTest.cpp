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
    void SetUp() override { fs::create_directory(m_systemTemp); }

    // The usual package: the "setup" folder, three programs, the configuration, two more files.
    static TestPackageBuilder Package(const std::string& configuration = kConfiguration) {
        TestPackageBuilder builder;
        builder.Folder("\\setup")
            .File("\\setup\\one.sh", "1")
            .File("\\setup\\ten.sh", "10")
            .File("\\setup\\two.sh", "2")
            .File("\\setup\\setup.ini", configuration)
            .File("\\setup\\data1", "d1")
            .File("\\setup\\data2", "d2");
        return builder;
    }

    int Run(const std::string& arguments) {
        const std::string commandLine = "/opt/my setup/setup" + arguments;
        SetupLog log(
            m_logPath, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, m_platform.QueryOsVersion());
        SetupFlow flow(log, m_platform, *m_windows);
        return flow.Run(commandLine, std::string("/opt/my setup/setup").size());
    }

    std::string TempFolder() const {
        return m_platform.tempFolders.empty() ? std::string() : m_platform.tempFolders.front();
    }

    ScratchFolder m_scratch;
    std::string m_package = m_scratch / "setup";
    std::string m_systemTemp = m_scratch / "tmp/";
    std::string m_logPath = m_scratch / "ql_inst.log";
    FakeSetupPlatform m_platform{m_package, m_systemTemp};
    std::unique_ptr<ScriptedWindows> m_windows = std::make_unique<ScriptedWindows>();
};

TEST_F(SetupFlowTest, SilentRunStartsTheProgramsInKeyOrderAndCleansUp) {
    Package().WriteTo(m_package);
    WriteWholeFile(m_systemTemp + "setup.exe", "left by a real setup");

    EXPECT_EQ(Run(" /i"), 0);
    const std::string folder = TempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(m_platform.started,
              (Lines{folder + "setup/one.sh|/i", folder + "setup/ten.sh|/x|a b|/i",
                     folder + "setup/two.sh|/i"}));
    EXPECT_EQ(m_platform.waited, (std::vector<ProcessId>{1, 2, 3}));
    EXPECT_EQ(m_windows->calls, (Lines{"CreateProgressDialog", "MoveDialogToCorner",
                                       "RunMessageLoop", "DestroyProgressDialog"}));
    EXPECT_EQ(m_windows->range, 7u);
    EXPECT_EQ(m_windows->stepsShown, 7u);
    EXPECT_TRUE(m_windows->bDialogClosed);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(m_systemTemp + "setup.exe"));
    // The closing banner stays pending: the log writes each message when the next arrives.
    EXPECT_EQ(LogMessages(m_logPath),
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
    Package().WriteTo(m_package);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        fs::remove(m_logPath);
        m_platform.started.clear();
        m_platform.tempFolders.clear();
        m_windows->calls.clear();
        EXPECT_EQ(Run(c.arguments), 0);
        EXPECT_EQ(m_windows->calls, c.calls);
        EXPECT_EQ(fs::exists(m_logPath), c.logged);
        ASSERT_EQ(m_platform.started.size(), 3u);
        EXPECT_EQ(m_platform.started.front(), TempFolder() + "setup/one.sh" + c.tail);
    }
}

TEST_F(SetupFlowTest, ProgramThatCannotStartIsLoggedAndTheNextStillRuns) {
    Package().WriteTo(m_package);
    m_platform.failingPrograms = {"ten.sh"};
    EXPECT_EQ(Run(" /i"), 1);
    const std::string folder = TempFolder();
    EXPECT_EQ(m_platform.started, (Lines{folder + "setup/one.sh|/i", folder + "setup/two.sh|/i"}));
    const Lines messages = LogMessages(m_logPath);
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
    Package().WriteTo(m_package);
    m_platform.bTempFolderFails = true;
    // A configuration and a program in the current folder must not be taken instead.
    const fs::path oldCurrent = fs::current_path();
    fs::create_directories(m_scratch / "here/setup");
    WriteWholeFile(m_scratch / "here/setup/setup.ini", kConfiguration);
    WriteWholeFile(m_scratch / "here/setup/one.sh", "1");
    fs::current_path(m_scratch / "here");
    const int status = Run(" /i");
    fs::current_path(oldCurrent);

    EXPECT_EQ(status, 1);
    EXPECT_TRUE(m_platform.started.empty());
    const Lines messages = LogMessages(m_logPath);
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
    std::string noTrailer = Package().Build();
    noTrailer.resize(noTrailer.size() - 4);
    TestPackageBuilder withoutConfiguration;
    withoutConfiguration.Folder("\\setup").File("\\setup\\one.sh", "1");
    const std::vector<Case> cases = {
        {"no configuration", withoutConfiguration.Build(),
         "Can't load setup.ini: %Tsetup/setup.ini"},
        {"no startup section", Package("[Startup]\r\n1=one.sh\r\n").Build(),
         "Can't get startup section."},
        {"key before any section", Package("1=one.sh\r\n[startup]\r\n").Build(),
         "Can't load setup.ini: %Tsetup/setup.ini"},
        {"empty package", TestPackageBuilder().Build(), "Can't load setup.ini: %Tsetup/setup.ini"},
        {"no package", noTrailer, "Can't pExtractor->ExtractFile()!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteWholeFile(m_package, c.package);
        fs::remove(m_logPath);
        m_platform.tempFolders.clear();
        EXPECT_EQ(Run(" /i"), 1);
        EXPECT_TRUE(m_platform.started.empty());
        std::string line = c.logLine;
        if (const std::size_t at = line.find("%T"); at != std::string::npos) {
            line.replace(at, 2, TempFolder());
        }
        const Lines messages = LogMessages(m_logPath);
        EXPECT_NE(std::find(messages.begin(), messages.end(), line), messages.end()) << line;
        EXPECT_TRUE(fs::is_empty(m_systemTemp));
    }
}

TEST_F(SetupFlowTest, CancelStopsAfterTheCurrentEntryAndTheRunGoesOn) {
    Package().WriteTo(m_package);
    m_windows->cancelAtStep = 5;
    EXPECT_EQ(Run(" /L"), 1);
    // The configuration (entry 5) was extracted, the two files after it were not; the
    // programs still ran.
    EXPECT_EQ(m_windows->stepsShown, 5u);
    EXPECT_EQ(m_platform.started.size(), 3u);
    EXPECT_TRUE(m_windows->bDialogClosed);
}

TEST_F(SetupFlowTest, LoopEndingEarlyNeitherHangsNorStopsTheExtraction) {
    Package().WriteTo(m_package);
    // The start-bitmap window ends the loop at the first step; the extractor goes on with
    // nobody serving its requests, which must not block it.
    m_windows->quitAtStep = 1;
    EXPECT_EQ(Run(" /L"), 0);
    EXPECT_EQ(m_windows->stepsShown, 1u);
    EXPECT_EQ(m_windows->stepsAsked, 7u);
    EXPECT_FALSE(m_windows->bDialogClosed);
    EXPECT_EQ(m_platform.started.size(), 3u);
}

TEST_F(SetupFlowTest, LetterCaseOfThePackageDoesNotMatter) {
    TestPackageBuilder()
        .Folder("\\SETUP")
        .File("\\SETUP\\SETUP.INI", "[startup]\r\n1=Bin\\Install.sh /s\r\n")
        .Folder("\\SETUP\\BIN")
        .File("\\SETUP\\BIN\\INSTALL.SH", "x")
        .WriteTo(m_package);
    EXPECT_EQ(Run(" /i"), 0);
    EXPECT_EQ(m_platform.started, (Lines{TempFolder() + "SETUP/BIN/INSTALL.SH|/s|/i"}));
}

TEST_F(SetupFlowTest, DotFileKeepsTheTemporaryFolder) {
    Package().File("\\setup\\.keep", "").WriteTo(m_package);
    EXPECT_EQ(Run(" /i"), 0);
    EXPECT_TRUE(fs::exists(TempFolder() + "setup/.keep"));
    EXPECT_FALSE(fs::exists(TempFolder() + "setup/one.sh"));
}

TEST_F(SetupFlowTest, EarlyEndsLogWhatTheyReachAndExtractNothing) {
    Package().WriteTo(m_package);
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
         [](FakeSetupPlatform&, ScriptedWindows& windows) { windows.bDialogFails = true; },
         {"CreateProgressDialog", "DestroyProgressDialog"},
         {kStart, "Do kivCDlgProg::Create()."}},
        {"no start-bitmap window",
         [](FakeSetupPlatform&, ScriptedWindows& windows) { windows.bMainWindowFails = true; },
         {"CreateProgressDialog", "CreateMainWindow", "DestroyMainWindow", "DestroyProgressDialog"},
         {kStart, "Do kivCDlgProg::Create()."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(m_logPath);
        m_platform.osVersion = OsVersion{true, 10};
        m_windows = std::make_unique<ScriptedWindows>();
        c.script(m_platform, *m_windows);
        EXPECT_EQ(Run(" /L"), 1);
        EXPECT_EQ(m_windows->calls, c.calls);
        EXPECT_EQ(LogMessages(m_logPath), c.messages);
        EXPECT_TRUE(m_platform.tempFolders.empty());
        EXPECT_TRUE(m_platform.started.empty());
    }
}

} // namespace
} // namespace setup::test
