#include "testing/WaitUntil.h"

#include <chrono>
#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(WaitUntilTest, EndsAsSoonAsTheConditionHoldsAndNotBefore) {
    struct Case {
        const char* name;
        int trueFromCall; // the condition holds from this call on; 0: never
        std::chrono::milliseconds timeout;
        bool expected;
        int expectedCalls; // 0: not counted (it depends on the machine's speed)
    };
    const Case cases[] = {
        {"holds at once", 1, 0ms, true, 1},
        {"holds on the third look", 3, kGenerousWait, true, 3},
        {"never holds: asked once even with no time", 0, 0ms, false, 1},
        {"never holds: gives up", 0, 30ms, false, 0},
    };
    for (const auto& c : cases) {
        int calls = 0;
        const auto start = Clock::now();
        const bool held = WaitUntil(
            [&] { return ++calls >= c.trueFromCall && c.trueFromCall != 0; }, c.timeout, 1ms);
        const auto took = Clock::now() - start;
        EXPECT_EQ(held, c.expected) << c.name;
        if (c.expectedCalls != 0) {
            EXPECT_EQ(calls, c.expectedCalls) << c.name;
        }
        if (c.expected) {
            EXPECT_LT(took, kGenerousWait / 2) << c.name; // early, not at the deadline
        } else {
            EXPECT_GE(took, c.timeout) << c.name; // not before the deadline
        }
    }
}

} // namespace
} // namespace tarvik::testing
