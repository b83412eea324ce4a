// Interrupts reach the console seam as SIGINT comes to the process.
#include "base/Console.h"

#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tarvik::base {
namespace {

TEST(ConsoleInterrupts, EachInterruptIsTakenOnceAndStopEndsEveryWait) {
    for (const int count : {0, 1, 3}) {
        ConsoleInterrupts interrupts;
        for (int i = 0; i < count; ++i) {
            // To the process, as a terminal sends it; taken before the next is sent, since
            // two that wait are one.
            ASSERT_EQ(::kill(::getpid(), SIGINT), 0);
            EXPECT_TRUE(interrupts.wait()) << count;
        }
        interrupts.stop();
        EXPECT_FALSE(interrupts.wait()) << count;
        EXPECT_FALSE(interrupts.wait()) << count;
    }
}

} // namespace
} // namespace tarvik::base
