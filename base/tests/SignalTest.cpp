#include "base/Signal.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(SignalTest, SlotsRunInConnectionOrderWithTheArguments) {
    Signal<int, std::string> signal;
    std::vector<std::string> calls;
    const Connection a =
        signal.connect([&](int n, std::string s) { calls.push_back("a" + std::to_string(n) + s); });
    const Connection b =
        signal.connect([&](int n, std::string s) { calls.push_back("b" + std::to_string(n) + s); });
    signal.notify(1, "x");
    signal(2, "y");
    EXPECT_EQ(calls, (std::vector<std::string>{"a1x", "b1x", "a2y", "b2y"}));
}

TEST(SignalTest, ConnectionEndsWithItsOwner) {
    Signal<> signal;
    int calls = 0;
    {
        const Connection scoped = signal.connect([&] { ++calls; });
        signal.notify();
        EXPECT_EQ(signal.connectionCount(), 1U);
    }
    signal.notify();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(signal.connectionCount(), 0U);

    Connection explicitEnd = signal.connect([&] { ++calls; });
    explicitEnd.disconnect();
    EXPECT_FALSE(explicitEnd.connected());
    signal.notify();
    EXPECT_EQ(calls, 1);
}

TEST(SignalTest, MovedConnectionKeepsTheSlotAndAssignmentEndsTheOldOne) {
    Signal<> signal;
    std::vector<char> calls;
    Connection first = signal.connect([&] { calls.push_back('1'); });
    Connection moved = std::move(first);
    first.disconnect(); // the moved-from connection owns nothing
    signal.notify();
    moved = signal.connect([&] { calls.push_back('2'); }); // ends slot 1
    signal.notify();
    EXPECT_EQ(calls, (std::vector<char>{'1', '2'}));
    EXPECT_EQ(signal.connectionCount(), 1U);
}

TEST(SignalTest, ConnectionMayOutliveTheSignal) {
    Connection survivor;
    {
        Signal<> signal;
        survivor = signal.connect([] {});
        EXPECT_TRUE(survivor.connected());
    }
    EXPECT_FALSE(survivor.connected());
    survivor.disconnect(); // nothing to reach, nothing happens
}

TEST(SignalTest, SlotsMayDisconnectAndConnectDuringEmission) {
    Signal<> signal;
    std::vector<std::string> calls;
    std::optional<Connection> self;
    Connection late;
    Connection victim;
    self = signal.connect([&] {
        calls.push_back("self");
        self.reset(); // ends its own connection while running
        late = signal.connect([&] { calls.push_back("late"); });
        victim.disconnect(); // a later slot, not called any more
    });
    victim = signal.connect([&] { calls.push_back("victim"); });
    const Connection last = signal.connect([&] { calls.push_back("last"); });

    signal.notify();
    EXPECT_EQ(calls, (std::vector<std::string>{"self", "last"}));
    calls.clear();
    signal.notify();
    EXPECT_EQ(calls, (std::vector<std::string>{"last", "late"}));
    EXPECT_EQ(signal.connectionCount(), 2U);
}

TEST(SignalTest, SlotMayDestroyTheObjectThatOwnsTheSignal) {
    struct Owner {
        Signal<> signal;
    };
    auto owner = std::make_unique<Owner>();
    int after = 0;
    const Connection killer = owner->signal.connect([&] { owner.reset(); });
    const Connection next = owner->signal.connect([&] { ++after; });
    owner->signal.notify();
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(after, 1); // the emission finishes on its own copy of the slots
}

} // namespace
} // namespace tarvik
