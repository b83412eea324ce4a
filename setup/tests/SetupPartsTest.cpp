#include "setup/CommandWords.h"
#include "setup/CornerPlacement.h"
#include "setup/SentMessageChannel.h"
#include "setup/Switches.h"

#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace setup::test {
namespace {

TEST(Switches, ReadFromTheFirstSpaceAfterTheProgramPath) {
    struct Case {
        std::string commandLine;
        std::size_t programPathLength;
        bool logOn;
        bool silent;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {"C:\\setup.exe /i", 12, true, true, " /i"},
        {"C:\\setup.exe /I", 12, true, true, " /I"},
        {"C:\\setup.exe /L", 12, true, false, " /L"},
        {"C:\\setup.exe /l", 12, true, false, " /l"},
        {"C:\\setup.exe /q", 12, false, false, ""},
        {"C:\\setup.exe /", 12, false, false, ""},
        {"C:\\setup.exe", 12, false, false, ""},
        {"C:\\setup.exe ", 12, false, false, " "},
        {"C:\\setup.exe x /i", 12, false, false, " x /i"},
        // The tail runs for at most (index of the space + 2) characters.
        {"/s /i /home/someone/prefix", 2, true, true, " /i "},
        {"/usr/local/bin/setup /i /home", 20, true, true, " /i /home"},
        // A program path with a space in it: the switch after it still counts.
        {"/opt/my setup/setup /i", 19, true, true, " /i"},
        {"/opt/my setup/setup", 19, false, false, ""},
        // A command line that begins with a space has no tail.
        {" /i", 0, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        const Switches switches = ReadSwitches(c.commandLine, c.programPathLength);
        EXPECT_EQ(switches.logOn, c.logOn);
        EXPECT_EQ(switches.silent, c.silent);
        EXPECT_EQ(switches.argumentTail, c.tail);
    }
    const std::vector<std::string> args = {"/opt/my setup/setup", "/i", "x"};
    EXPECT_EQ(JoinCommandLine(args), "/opt/my setup/setup /i x");
}

TEST(CommandWords, BlanksSeparateAndQuotesGroup) {
    using Words = std::vector<std::string>;
    const std::vector<std::pair<std::string, Words>> cases = {
        {"setup.exe /s", {"setup.exe", "/s"}},
        {"  a\t b  ", {"a", "b"}},
        {"\"my setup.exe\" /s \"\"", {"my setup.exe", "/s", ""}},
        {"x\"y z\"w", {"xy zw"}},
        {"\"unclosed word", {"unclosed word"}},
        {"", {}},
        {" ", {}},
    };
    for (const auto& [line, words] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(SplitCommandWords(line), words);
    }
}

TEST(CornerPlacement, BottomRightOfTheWorkArea) {
    const ScreenRect screen{0, 0, 1024, 768};
    // A taskbar 40 pixels high at the bottom, none at all, one at the top, and one docked at
    // the left edge as high as the screen (which does not push the dialog off the screen).
    EXPECT_EQ(CornerPosition(screen, {0, 0, 1024, 728}, 400, 100), (ScreenPoint{624, 628}));
    EXPECT_EQ(CornerPosition(screen, screen, 400, 100), (ScreenPoint{624, 638}));
    EXPECT_EQ(CornerPosition(screen, {0, 40, 1024, 728}, 400, 100), (ScreenPoint{624, 668}));
    EXPECT_EQ(CornerPosition(screen, {60, 0, 964, 768}, 400, 100), (ScreenPoint{624, 668}));
    EXPECT_EQ(CornerPosition(screen, {0, 0, 964, 768}, 400, 100), (ScreenPoint{564, 668}));
}

TEST(CornerPlacement, CentredWithHalvesRoundedDown) {
    const ScreenRect screen{0, 0, 1024, 768};
    EXPECT_EQ(CentredPosition(screen, 400, 101), (ScreenPoint{312, 333}));
    EXPECT_EQ(CentredPosition(screen, 1025, 771), (ScreenPoint{-1, -2}));
    EXPECT_EQ(CentredPosition({100, 50, 800, 600}, 0, 0), (ScreenPoint{500, 350}));
}

// A main thread with a queue, for the channel's tests.
class MainThread {
public:
    void post(std::function<void()> task) {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    // Runs what was posted until now; returns how many ran.
    std::size_t runPosted() {
        std::deque<std::function<void()>> tasks;
        {
            const std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) {
            task();
        }
        return tasks.size();
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

TEST(SentMessageChannel, SenderWaitsUntilTheCallRanOnTheMainThread) {
    MainThread main;
    SentMessageChannel channel([&main](std::function<void()> task) { main.post(std::move(task)); });
    std::thread::id ranOn;
    auto sent = std::async(std::launch::async, [&] {
        return channel.send([&ranOn] { ranOn = std::this_thread::get_id(); });
    });
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    while (main.runPosted() == 0) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(SentMessageChannel, EndOfTheLoopReleasesWaitingSendersAndDropsTheirCalls) {
    MainThread main;
    SentMessageChannel channel([&main](std::function<void()> task) { main.post(std::move(task)); });
    bool ran = false;
    auto sent =
        std::async(std::launch::async, [&] { return channel.send([&ran] { ran = true; }); });
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    channel.loopEnded();
    EXPECT_FALSE(sent.get());
    // A call still queued does not run when something processes the queue later, and a new
    // call returns at once without being queued.
    main.runPosted();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(channel.send([&ran] { ran = true; }));
    EXPECT_EQ(main.runPosted(), 0u);
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace setup::test
