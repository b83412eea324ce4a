#include "setup/SetupLog.h"

#include "setup/platform/PosixSetupPlatform.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <array>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

// A clock that advances one second per reading, starting at 2003-03-04 09:05:07.
class FakeClock {
public:
    SystemTime operator()() {
        SystemTime now{2003, 3, 4, 9, 5, 7 + ticks_};
        ++ticks_;
        return now;
    }

private:
    int ticks_ = 0;
};

class SetupLogTest : public ::testing::Test {
protected:
    SetupLog makeLog() { return SetupLog(logPath_, FakeClock(), OsVersion{true, 10}); }

    ScratchFolder scratch_;
    std::string logPath_ = scratch_ / "ql_inst.log";
};

TEST(SetupLogTimeStamp, PadsEverythingButTheDay) {
    EXPECT_EQ(SetupLog::formatTimeStamp({2003, 3, 4, 9, 5, 7}), "2003-03-4 09:05:07");
    EXPECT_EQ(SetupLog::formatTimeStamp({2026, 12, 31, 23, 59, 58}), "2026-12-31 23:59:58");
}

TEST(SetupLogOsCheck, RefusesOnlyOldSystemsOfTheNtFamily) {
    struct Case {
        std::optional<OsVersion> version;
        bool refused;
    };
    const std::vector<Case> cases = {
        {OsVersion{true, 3}, true},   {OsVersion{true, 4}, true},   {OsVersion{true, 5}, false},
        {OsVersion{true, 10}, false}, {OsVersion{false, 4}, false}, {std::nullopt, false},
    };
    for (const Case& c : cases) {
        const SetupLog log("", FakeClock(), c.version);
        EXPECT_EQ(log.isOldNtSystem(), c.refused);
    }
    EXPECT_FALSE(SetupLog("", FakeClock(), PosixSetupPlatform().queryOsVersion()).isOldNtSystem());
}

TEST_F(SetupLogTest, EachLineCarriesThePreviousMessageStampedWhenTheNextArrives) {
    SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
    log.setLogOn(true);
    log.log("first");
    EXPECT_FALSE(fs::exists(logPath_));
    log.log("second");
    log.log("third");
    // "third" stays pending: the last message of a run is never written.
    EXPECT_EQ(ReadWholeFile(logPath_), "[2003-03-4 09:05:07]  first\r\n"
                                       "[2003-03-4 09:05:08]  second\r\n");
}

TEST_F(SetupLogTest, EmptyMessageLeavesNothingPending) {
    SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
    log.setLogOn(true);
    log.log("one");
    log.log("");
    log.log("two");
    log.log("three");
    EXPECT_EQ(ReadWholeFile(logPath_), "[2003-03-4 09:05:07]  one\r\n"
                                       "[2003-03-4 09:05:08]  two\r\n");
}

TEST_F(SetupLogTest, LogOffCreatesAndKeepsNothing) {
    SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
    log.log("dropped");
    log.log("dropped too");
    EXPECT_FALSE(fs::exists(logPath_));
    // Messages given while the log was off are not kept for later.
    log.setLogOn(true);
    log.log("kept");
    EXPECT_FALSE(fs::exists(logPath_));
    log.log("next");
    EXPECT_EQ(ReadWholeFile(logPath_), "[2003-03-4 09:05:07]  kept\r\n");
}

TEST_F(SetupLogTest, SecondRunAppendsAfterTheFirst) {
    for (const char* run : {"run one", "run two"}) {
        SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
        log.setLogOn(true);
        log.log(run);
        log.log("closing banner, never written");
    }
    EXPECT_EQ(ReadWholeFile(logPath_), "[2003-03-4 09:05:07]  run one\r\n"
                                       "[2003-03-4 09:05:07]  run two\r\n");
}

TEST_F(SetupLogTest, LinkAtTheLogPathIsRefusedAndTheRunGoesOnSilently) {
    const std::string victim = scratch_ / "victim";
    WriteWholeFile(victim, "untouched");
    fs::create_symlink(victim, logPath_);
    SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
    log.setLogOn(true);
    for (int i = 0; i < 4; ++i) {
        log.log("line");
    }
    EXPECT_EQ(ReadWholeFile(victim), "untouched");
}

TEST_F(SetupLogTest, LineFeedsInsideAMessageBecomeTextLineEnds) {
    SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
    log.setLogOn(true);
    log.log("first\nsecond\r\nthird\n");
    log.log("next");
    // A text stream writes every line feed as CR LF, one already preceded by CR included.
    EXPECT_EQ(ReadWholeFile(logPath_), "[2003-03-4 09:05:07]  first\r\nsecond\r\r\nthird\r\n\r\n");
}

TEST_F(SetupLogTest, FifoAtTheLogPathNeverBlocksAndStaysSilent) {
    ASSERT_EQ(::mkfifo(logPath_.c_str(), 0600), 0);
    // Once with nobody reading (opening for writing would wait for a reader) and once with a
    // reader attached (the open succeeds, but a FIFO is no log file).
    for (const bool withReader : {false, true}) {
        SCOPED_TRACE(withReader);
        FileHandle reader;
        if (withReader) {
            reader = FileHandle(::open(logPath_.c_str(), O_RDONLY | O_NONBLOCK));
            ASSERT_TRUE(reader.valid());
        }
        SetupLog log(logPath_, FakeClock(), OsVersion{true, 10});
        log.setLogOn(true);
        for (int i = 0; i < 4; ++i) {
            log.log("line");
        }
        if (withReader) {
            std::array<char, 16> buffer{};
            EXPECT_LE(::read(reader.get(), buffer.data(), buffer.size()), 0);
        }
    }
}

TEST_F(SetupLogTest, UnopenableLogStaysSilent) {
    SetupLog log(scratch_ / "no-such-folder/ql_inst.log", FakeClock(), OsVersion{true, 10});
    log.setLogOn(true);
    log.log("a");
    log.log("b");
    log.log("c");
    EXPECT_FALSE(fs::exists(scratch_ / "no-such-folder"));
    // A log that failed to open stays silent for the rest of the run, even once it could open.
    fs::create_directory(scratch_ / "no-such-folder");
    log.log("d");
    log.log("e");
    EXPECT_FALSE(fs::exists(scratch_ / "no-such-folder/ql_inst.log"));
}

TEST_F(SetupLogTest, ConcurrentCallersNeverInterleaveLines) {
    SetupLog log(
        logPath_, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, OsVersion{true, 10});
    log.setLogOn(true);
    constexpr int kPerThread = 500;
    const std::string a(60, 'a');
    const std::string b(60, 'b');
    std::thread first([&] {
        for (int i = 0; i < kPerThread; ++i) {
            log.log(a);
        }
    });
    std::thread second([&] {
        for (int i = 0; i < kPerThread; ++i) {
            log.log(b);
        }
    });
    first.join();
    second.join();
    const std::string text = ReadWholeFile(logPath_);
    std::size_t lines = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(at, end - at);
        EXPECT_TRUE(line == "[2003-03-4 09:05:07]  " + a || line == "[2003-03-4 09:05:07]  " + b)
            << line;
        at = end + 2;
        ++lines;
    }
    EXPECT_EQ(lines, 2u * kPerThread - 1);
}

} // namespace
} // namespace setup::test
