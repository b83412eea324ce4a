// The console's interrupts: a wait for them ends when the watch stops.
#include "base/Console.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace tarvik::base {
namespace {

TEST(ConsoleInterrupts, StopFromAnotherThreadEndsAWaitInProgress) {
    ConsoleInterrupts interrupts;
    std::thread stopper([&interrupts] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        interrupts.stop();
    });
    EXPECT_FALSE(interrupts.wait());
    stopper.join();
}

} // namespace
} // namespace tarvik::base
