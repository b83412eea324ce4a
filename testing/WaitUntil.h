#pragma once

#include <chrono>
#include <functional>

namespace tarvik::testing {

// Long enough for a machine loaded by a parallel build and test run; a test that passes
// never waits that long, since the wait ends as soon as the condition holds.
constexpr std::chrono::milliseconds kGenerousWait{20000};

// Asks `condition` every `interval` until it holds or `timeout` has passed: true as soon as
// it holds, false when the time ran out. The condition is asked at least once.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kGenerousWait,
               std::chrono::milliseconds interval = std::chrono::milliseconds(10));

} // namespace tarvik::testing
