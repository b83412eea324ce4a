#pragma once

#include "base/Console.h"

#include <functional>
#include <thread>

namespace tarvik::cli {

// Ctrl+C (SIGINT, and SIGTERM alike; Ctrl+Break on Windows) while it lives: the interrupts
// no longer end the program but are taken by a thread of its own, which calls `first` on
// the first and `second` on every one after. Both run on that thread. The console's usual
// handling is put back when it goes.
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
    base::ConsoleInterrupts interrupts_;
    std::thread thread_;
};

} // namespace tarvik::cli
