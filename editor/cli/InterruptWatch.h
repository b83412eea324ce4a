#pragma once

#include "base/UniqueFd.h"

#include <csignal>
#include <functional>
#include <thread>

namespace tarvik::cli {

// Ctrl+C (SIGINT, and SIGTERM alike) while it lives: the signals are blocked in the
// calling thread and taken by a thread of its own, which calls `first` on the first and
// `second` on every one after. Both run on that thread. The signal mask is put back when
// it goes.
class InterruptWatch {
public:
    InterruptWatch(std::function<void()> first, std::function<void()> second);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    void watch();

    std::function<void()> first_;
    std::function<void()> second_;
    sigset_t previousMask_{};
    UniqueFd signals_;
    UniqueFd wake_; // written when the watch ends
    std::thread thread_;
};

} // namespace tarvik::cli
