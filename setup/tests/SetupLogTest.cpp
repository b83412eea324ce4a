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
        SystemTime now{2003, 3, 4, 9, 5, 7 + m_ticks};
        ++m_ticks;
        return now;
    }

private:
    int m_ticks = 0;
};

class SetupLogTest : public ::testing::Test {
protected:
    SetupLog MakeLog() { return SetupLog(m_logPath, FakeClock(), OsVersion{true, 10}); }

    ScratchFolder m_scratch;
    std::string m_logPath = m_scratch / "ql_inst.log";
};

TEST(SetupLogTimeStamp, PadsEverythingButTheDay) {
    EXPECT_EQ(SetupLog::FormatTimeStamp({2003, 3, 4, 9, 5, 7}), "2003-03-4 09:05:07");
    EXPECT_EQ(SetupLog::FormatTimeStamp({2026, 12, 31, 23, 59, 58}), "2026-12-31 23:59:58");
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
        EXPECT_EQ(log.IsOldNtSystem(), c.refused);
    }
    EXPECT_FALSE(SetupLog("", FakeClock(), PosixSetupPlatform().QueryOsVersion()).IsOldNtSystem());
}

TEST_F(SetupLogTest, EachLineCarriesThePreviousMessageStampedWhenTheNextArrives) {
    SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
    log.SetLogOn(true);
    log.Log("first");
    EXPECT_FALSE(fs::exists(m_logPath));
    log.Log("second");
    log.Log("third");
    // "third" stays pending: the last message of a run is never written.
    EXPECT_EQ(ReadWholeFile(m_logPath), "[2003-03-4 09:05:07]  first\r\n"
                                        "[2003-03-4 09:05:08]  second\r\n");
}

TEST_F(SetupLogTest, EmptyMessageLeavesNothingPending) {
    SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
    log.SetLogOn(true);
    log.Log("one");
    log.Log("");
    log.Log("two");
    log.Log("three");
    EXPECT_EQ(ReadWholeFile(m_logPath), "[2003-03-4 09:05:07]  one\r\n"
                                        "[2003-03-4 09:05:08]  two\r\n");
}

TEST_F(SetupLogTest, LogOffCreatesAndKeepsNothing) {
    SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
    log.Log("dropped");
    log.Log("dropped too");
    EXPECT_FALSE(fs::exists(m_logPath));
    // Messages given while the log was off are not kept for later.
    log.SetLogOn(true);
    log.Log("kept");
    EXPECT_FALSE(fs::exists(m_logPath));
    log.Log("next");
    EXPECT_EQ(ReadWholeFile(m_logPath), "[2003-03-4 09:05:07]  kept\r\n");
}

TEST_F(SetupLogTest, SecondRunAppendsAfterTheFirst) {
    for (const char* run : {"run one", "run two"}) {
        SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
        log.SetLogOn(true);
        log.Log(run);
        log.Log("closing banner, never written");
    }
    EXPECT_EQ(ReadWholeFile(m_logPath), "[2003-03-4 09:05:07]  run one\r\n"
                                        "[2003-03-4 09:05:07]  run two\r\n");
}

TEST_F(SetupLogTest, LinkAtTheLogPathIsRefusedAndTheRunGoesOnSilently) {
    const std::string victim = m_scratch / "victim";
    WriteWholeFile(victim, "untouched");
    fs::create_symlink(victim, m_logPath);
    SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
    log.SetLogOn(true);
    for (int i = 0; i < 4; ++i) {
        log.Log("line");
    }
    EXPECT_EQ(ReadWholeFile(victim), "untouched");
}

TEST_F(SetupLogTest, LineFeedsInsideAMessageBecomeTextLineEnds) {
    SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
    log.SetLogOn(true);
    log.Log("first\nsecond\r\nthird\n");
    log.Log("next");
    // A text stream writes every line feed as CR LF, one already preceded by CR included.
    EXPECT_EQ(ReadWholeFile(m_logPath), "[2003-03-4 09:05:07]  first\r\nsecond\r\r\nthird\r\n\r\n");
}

TEST_F(SetupLogTest, FifoAtTheLogPathNeverBlocksAndStaysSilent) {
    ASSERT_EQ(::mkfifo(m_logPath.c_str(), 0600), 0);
    // Once with nobody reading (opening for writing would wait for a reader) and once with a
    // reader attached (the open succeeds, but a FIFO is no log file).
    for (const bool withReader : {false, true}) {
        SCOPED_TRACE(withReader);
        FileHandle reader;
        if (withReader) {
            reader = FileHandle(::open(m_logPath.c_str(), O_RDONLY | O_NONBLOCK));
            ASSERT_TRUE(reader.valid());
        }
        SetupLog log(m_logPath, FakeClock(), OsVersion{true, 10});
        log.SetLogOn(true);
        for (int i = 0; i < 4; ++i) {
            log.Log("line");
        }
        if (withReader) {
            std::array<char, 16> buffer{};
            EXPECT_LE(::read(reader.get(), buffer.data(), buffer.size()), 0);
        }
    }
}

TEST_F(SetupLogTest, UnopenableLogStaysSilent) {
    SetupLog log(m_scratch / "no-such-folder/ql_inst.log", FakeClock(), OsVersion{true, 10});
    log.SetLogOn(true);
    log.Log("a");
    log.Log("b");
    log.Log("c");
    EXPECT_FALSE(fs::exists(m_scratch / "no-such-folder"));
    // A log that failed to open stays silent for the rest of the run, even once it could open.
    fs::create_directory(m_scratch / "no-such-folder");
    log.Log("d");
    log.Log("e");
    EXPECT_FALSE(fs::exists(m_scratch / "no-such-folder/ql_inst.log"));
}

TEST_F(SetupLogTest, ConcurrentCallersNeverInterleaveLines) {
    SetupLog log(
        m_logPath, [] { return SystemTime{2003, 3, 4, 9, 5, 7}; }, OsVersion{true, 10});
    log.SetLogOn(true);
    constexpr int kPerThread = 500;
    const std::string a(60, 'a');
    const std::string b(60, 'b');
    std::thread first([&] {
        for (int i = 0; i < kPerThread; ++i) {
            log.Log(a);
        }
    });
    std::thread second([&] {
        for (int i = 0; i < kPerThread; ++i) {
            log.Log(b);
        }
    });
    first.join();
    second.join();
    const std::string text = ReadWholeFile(m_logPath);
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
