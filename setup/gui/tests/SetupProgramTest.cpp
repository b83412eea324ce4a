#include "setup/gui/tests/SetupRunFixture.h"
#include "setup/tests/LogLines.h"
#include "setup/tests/TestPackageBuilder.h"
#include "testing/WaitUntil.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kStart =
    "<========================= Start log setup process ===================================>";
const std::string kConfiguration = "[bitmap]\r\nStart_Bitmap=header.BMP\r\n"
                                   "[startup]\r\n1=one.sh\r\n2=two.sh\r\n10=ten.sh \"a b\"\r\n";

bool Contains(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Seconds since the epoch of a log stamp ("2003-03-4 09:05:07", UTC).
std::time_t StampSeconds(const std::string& stamp) {
    std::tm time{};
    std::sscanf(stamp.c_str(), "%d-%d-%d %d:%d:%d", &time.tm_year, &time.tm_mon, &time.tm_mday,
                &time.tm_hour, &time.tm_min, &time.tm_sec);
    time.tm_year -= 1900;
    time.tm_mon -= 1;
    return ::timegm(&time);
}

// Waits until the report holds the line, 30 s at most.
bool WaitForReport(const std::string& reportPath, const std::string& line) {
    return tarvik::testing::WaitUntil([&] { return Contains(TextLines(reportPath), line); },
                                      std::chrono::seconds(30));
}

// Where the hook saw a window: "PREFIX WxH at X,Y on SWxSH".
struct Placement {
    int width = -1;
    int height = -1;
    int x = -1;
    int y = -1;
    int screenWidth = -1;
    int screenHeight = -1;
};

Placement FindPlacement(const Lines& report, const std::string& prefix) {
    Placement placement;
    for (const std::string& event : report) {
        if (event.rfind(prefix + " ", 0) == 0) {
            std::sscanf(event.c_str() + prefix.size(), " %dx%d at %d,%d on %dx%d", &placement.width,
                        &placement.height, &placement.x, &placement.y, &placement.screenWidth,
                        &placement.screenHeight);
        }
    }
    return placement;
}

class SetupProgramTest : public SetupRunFixture {
protected:
    void SetUp() override {
        SetupRunFixture::SetUp();
        makeTree(kConfiguration);
        addProgram("one.sh");
        addProgram("two.sh");
        addProgram("ten.sh");
    }

    // The log of a visible run up to the programs, then of the programs' runs and clean-up.
    Lines visibleStart() const {
        return {kStart,
                "Do kivCDlgProg::Create().",
                "Finish kivCDlgProg::Create().",
                "Do pMainWnd->Create().",
                "Do CMainWindow::ExtraStartBitmap().",
                "Do CMainWindow::ExtractFile: " + tmp_ + "/setup.ini",
                "Finish CMainWindow::ExtractFile().",
                "Do CMainWindow::ExtractFile():" + tmp_ + "/Header.bmp",
                "Finish CMainWindow::ExtractFile().",
                "Finish CMainWindow::ExtraStartBitmap().",
                "Do CMainWindow::mwInitApplication().",
                "Finish CMainWindow::mwInitApplication().",
                "Do CMainWindow::mwInitInstance().",
                "ShowWindow(m_hWnd, SW_NORMAL);",
                " Finish CMainWindow::mwInitInstance().",
                " Finish CMainWindow::Create().",
                " Do kivCDlgProg::MoveWindowToCorner().",
                " Create extractor thead, and begin to exactor package.",
                "Extractor thread finish and begin to start real setup applicatin:",
                "Clear start bitmap:"};
    }
    static Lines threeProgramsAndCleanUp() {
        Lines lines;
        for (int i = 0; i < 3; ++i) {
            lines.push_back("Call real setup application.");
            lines.push_back("The real setup application process finished.");
        }
        lines.push_back("Delete the setup in Temp folder.");
        lines.push_back("Delete Temp folder.");
        return lines;
    }
    static Lines record(const std::string& tail) {
        return {"start one.sh" + tail,     "zdata 20", "end one.sh",
                "start ten.sh a b" + tail, "zdata 20", "end ten.sh",
                "start two.sh" + tail,     "zdata 20", "end two.sh"};
    }
};

TEST_F(SetupProgramTest, SilentRunStartsTheProgramsInKeyOrderAndLeavesNothing) {
    // ten.sh takes over a second, so that the log line written before its wait shows, by its
    // stamp, that it is written only once the program has ended.
    addProgram("ten.sh", "1.2");
    makeInstaller();
    const SetupRunResult run = Run({"/i"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.record, record(" /i"));
    EXPECT_TRUE(tempContents().empty());

    Lines expected = {kStart,
                      "Do kivCDlgProg::Create().",
                      "Finish kivCDlgProg::Create().",
                      " Do kivCDlgProg::MoveWindowToCorner().",
                      " Create extractor thead, and begin to exactor package.",
                      "Extractor thread finish and begin to start real setup applicatin:",
                      "Clear start bitmap:"};
    const Lines rest = threeProgramsAndCleanUp();
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(run.log, expected);
    const Lines stamps = LogStamps(logPath_);
    ASSERT_EQ(stamps.size(), expected.size());
    // Lines 9 and 10 are ten.sh's: "Call" is stamped when it started, "finished" when it ended.
    EXPECT_GE(StampSeconds(stamps[10]) - StampSeconds(stamps[9]), 1);
    for (const std::string& event : run.report) {
        EXPECT_EQ(event.rfind("dialog", 0), std::string::npos) << event;
        EXPECT_EQ(event.rfind("window", 0), std::string::npos) << event;
    }
}

TEST_F(SetupProgramTest, VisibleRunShowsTheDialogAndTheBitmapAndClearsThemAway) {
    makeInstaller();
    const SetupRunResult run = Run({"/L"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.record, record(" /L"));
    Lines expected = visibleStart();
    const Lines rest = threeProgramsAndCleanUp();
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(run.log, expected);
    EXPECT_TRUE(tempContents().empty());
    // The offscreen screen keeps no space for a taskbar: the bitmap window is centred, the
    // dialog sits 30 pixels above the bottom-right corner.
    const Placement window = FindPlacement(run.report, "window shown");
    EXPECT_EQ(window.width, 240);
    EXPECT_EQ(window.height, 90);
    EXPECT_EQ(window.x, (window.screenWidth - 240) / 2);
    EXPECT_EQ(window.y, (window.screenHeight - 90) / 2);
    const Placement dialog = FindPlacement(run.report, "dialog shown");
    EXPECT_GT(dialog.width, dialog.height);
    EXPECT_EQ(dialog.x, dialog.screenWidth - dialog.width);
    EXPECT_EQ(dialog.y, dialog.screenHeight - dialog.height - 30);
    EXPECT_TRUE(Contains(run.report, "step 27"));
    EXPECT_FALSE(Contains(run.report, "step 28"));
    EXPECT_TRUE(fs::exists(shots_ + "/dialog.png"));
    EXPECT_TRUE(fs::exists(shots_ + "/window.png"));
}

TEST_F(SetupProgramTest, SwitchesDecideLogAndTail) {
    makeInstaller();
    struct Case {
        Lines arguments;
        bool logged;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {{}, false, ""},
        {{"/q"}, false, ""},
        {{"/I"}, true, " /I"},
        {{"/l"}, true, " /l"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        const SetupRunResult run = Run(c.arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(fs::exists(logPath_), c.logged);
        EXPECT_EQ(run.record, record(c.tail));
        EXPECT_TRUE(tempContents().empty());
    }
}

TEST_F(SetupProgramTest, HelpAndVersionAloneRunNothingOfThePackage) {
    makeInstaller();
    struct Case {
        Lines arguments;
        std::string tail; // empty: nothing may run
    };
    const std::vector<Case> cases = {
        {{"--help"}, ""},
        {{"--version"}, ""},
        // With more words it is an installer's usual tail again.
        {{"--help", "x"}, " --help x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front() + " " + std::to_string(c.arguments.size()));
        const SetupRunResult run = Run(c.arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.record, c.tail.empty() ? Lines{} : record(c.tail));
        EXPECT_FALSE(fs::exists(logPath_));
        EXPECT_TRUE(tempContents().empty());
    }
}

TEST_F(SetupProgramTest, DotFileKeepsTheTemporaryFolderWithOnlyThatFile) {
    WriteWholeFile(tree_ + "/setup/.keep", "");
    makeInstaller();
    const SetupRunResult run = Run({"/i"});
    EXPECT_EQ(run.status, 0);
    const std::set<std::string> left = tempContents();
    ASSERT_EQ(left.size(), 3u);
    const std::string folder = *left.begin();
    EXPECT_TRUE(std::regex_match(folder, std::regex(R"(ist[0-9A-F]{4}\.tm!)"))) << folder;
    EXPECT_EQ(left, (std::set<std::string>{folder, folder + "/setup", folder + "/setup/.keep"}));
}

TEST_F(SetupProgramTest, ConfigurationProblemsFailTheRun) {
    // The log writes each message when the next arrives: a run that ends at a failure leaves
    // that failure's message unwritten, and the log ends with the step before it.
    struct Case {
        const char* label;
        std::string arguments;
        std::string configuration; // empty: no setup.ini at all
        std::string logged;        // the start of a line the log holds (%T: tmp/)
        std::string lastLine;
        bool extracted;
    };
    const std::vector<Case> cases = {
        {"no startup section, silent", "/i", "[bitmap]\r\n", "Can't get startup section.",
         "Delete Temp folder.", true},
        {"no startup section, visible", "/L", "[bitmap]\r\n", "Can't get startup section.",
         "Delete Temp folder.", true},
        {"no setup.ini, silent", "/i", "", "Can't load setup.ini: %Tist", "Delete Temp folder.",
         true},
        {"no bitmap section, visible", "/L", "[startup]\r\n1=one.sh\r\n",
         "Do CMainWindow::ExtractFile: %Tsetup.ini", "Finish CMainWindow::ExtractFile().", false},
        // Without the configuration the last entry's name is read as a path, and fails.
        {"no setup.ini, visible", "/L", "", "Do CMainWindow::ExtraStartBitmap().",
         "Do CMainWindow::ExtraStartBitmap().", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove(tree_ + "/setup/setup.ini");
        if (!c.configuration.empty()) {
            WriteWholeFile(tree_ + "/setup/setup.ini", c.configuration);
        }
        makeInstaller();
        const SetupRunResult run = Run({c.arguments});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.record.empty());
        std::string line = c.logged;
        if (const std::size_t at = line.find("%T"); at != std::string::npos) {
            line.replace(at, 2, tmp_ + "/");
        }
        const bool found =
            std::any_of(run.log.begin(), run.log.end(),
                        [&line](const std::string& l) { return l.rfind(line, 0) == 0; });
        EXPECT_TRUE(found) << line;
        ASSERT_FALSE(run.log.empty());
        EXPECT_EQ(run.log.back(), c.lastLine);
        EXPECT_EQ(Contains(run.log, " Create extractor thead, and begin to exactor package."),
                  c.extracted);
        EXPECT_TRUE(tempContents().empty());
    }
}

TEST_F(SetupProgramTest, ProgramThatCannotStartIsSkipped) {
    WriteWholeFile(tree_ + "/setup/setup.ini",
                   "[startup]\r\n1=one.sh\r\n2=missing.sh\r\n10=ten.sh \"a b\"\r\n");
    makeInstaller();
    const SetupRunResult run = Run({"/i"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.record, (Lines{"start one.sh /i", "zdata 20", "end one.sh", "start ten.sh a b /i",
                                 "zdata 20", "end ten.sh"}));
    EXPECT_TRUE(Contains(run.log, "Error : Create installer process failed:missing.sh"));
}

TEST_F(SetupProgramTest, CancelStopsAfterTheCurrentEntryAndTheRunGoesOn) {
    makeInstaller();
    // Entries: \setup, its five files, \zdata (7), then zdata's 20 files.
    hook_ += ";cancel-at=9";
    const SetupRunResult run = Run({"/L"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.report, "cancel 9"));
    EXPECT_FALSE(Contains(run.report, "step 10"));
    EXPECT_EQ(run.record,
              (Lines{"start one.sh /L", "zdata 2", "end one.sh", "start ten.sh a b /L", "zdata 2",
                     "end ten.sh", "start two.sh /L", "zdata 2", "end two.sh"}));
    EXPECT_TRUE(tempContents().empty());
}

TEST_F(SetupProgramTest, WizardSignalDuringExtractionEndsTheLoopButNotTheExtraction) {
    makeInstaller();
    hook_ += ";pause-at=3";
    const SetupRunResult run = Run({"/L"}, [](pid_t pid, const std::string& report) {
        ASSERT_TRUE(WaitForReport(report, "paused 3"));
        ::kill(pid, SIGUSR1);
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(
        Contains(run.report, "message Info: WizardWindow post WM_WIZARDWNDCLOSED message."));
    EXPECT_TRUE(Contains(run.report, "loop ended"));
    // Every entry was extracted although the dialog stopped being served.
    EXPECT_EQ(run.record, record(" /L"));
    EXPECT_TRUE(tempContents().empty());
}

TEST_F(SetupProgramTest, WizardSignalWithoutTheWindowIsIgnored) {
    makeInstaller();
    hook_ += ";pause-at=3";
    const SetupRunResult run = Run({"/i"}, [](pid_t pid, const std::string& report) {
        ASSERT_TRUE(WaitForReport(report, "paused 3"));
        ::kill(pid, SIGUSR1);
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.report, "signal"));
    EXPECT_FALSE(
        Contains(run.report, "message Info: WizardWindow post WM_WIZARDWNDCLOSED message."));
    EXPECT_EQ(run.record, record(" /i"));
}

TEST_F(SetupProgramTest, WithoutADisplayTheVisibleRunWorksOffscreen) {
    makeInstaller();
    environment_.erase("QT_QPA_PLATFORM");
    const SetupRunResult run = Run({"/L"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.record, record(" /L"));
    EXPECT_EQ(FindPlacement(run.report, "window shown").width, 240);
}

TEST_F(SetupProgramTest, HostilePackagesWriteNothingOutsideTheTemporaryFolder) {
    const std::string stub = ReadWholeFile(SETUP_PROGRAM);
    const std::string precious = scratch_ / "precious.bmp";
    WriteWholeFile(precious, "the user's file");
    struct Case {
        const char* label;
        TestPackageBuilder package;
        int status;
    };
    std::vector<Case> cases;
    cases.push_back({"names that climb out",
                     TestPackageBuilder()
                         .folder("\\setup")
                         .file("\\setup\\setup.ini",
                               "[bitmap]\r\nStart_Bitmap=../escaped.bmp\r\n[startup]\r\n1=x\r\n")
                         .file("\\setup\\../escaped.bmp", "BM")
                         .file("\\..\\escaped", "evil")
                         .file("\\setup\\..\\..\\escaped2", "evil"),
                     1});
    cases.push_back(
        {"bitmap naming a file of the user",
         TestPackageBuilder().folder("\\setup").file(
             "\\setup\\setup.ini", "[bitmap]\r\nStart_Bitmap=" + precious + "\r\n[startup]\r\n"),
         0});
    cases.push_back({"drive and rooted names",
                     TestPackageBuilder()
                         .file("\\setup\\setup.ini", "[bitmap]\r\n[startup]\r\n")
                         .file("\\C:\\escaped", "evil")
                         .file("\\\\server\\escaped", "evil"),
                     1});
    const std::set<std::string> before = scratchContents();
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.package.stub(stub);
        makeInstallerWithPackage(c.package.build());
        for (const char* arguments : {"/L", "/i"}) {
            SCOPED_TRACE(arguments);
            const SetupRunResult run = Run({arguments});
            EXPECT_EQ(run.status, c.status);
            EXPECT_EQ(scratchContents(), before);
            EXPECT_EQ(ReadWholeFile(precious), "the user's file");
            EXPECT_TRUE(tempContents().empty());
        }
    }
}

} // namespace
} // namespace setup::test
