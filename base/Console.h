#pragma once

// The console a command-line program runs in: its interrupts (Ctrl+C) and its error stream
// below the C++ streams. One implementation for POSIX and one for Win32.

#include <memory>
#include <string_view>

namespace tarvik::base {

// The interrupts of the console while it lives: Ctrl+C and the request to end (SIGINT and
// SIGTERM on POSIX, Ctrl+C and Ctrl+Break on Windows) no longer end the program but wait
// here, one at a time, for wait() to take them. Only one may live at a time.
class ConsoleInterrupts {
public:
    ConsoleInterrupts();
    ~ConsoleInterrupts();
    ConsoleInterrupts(const ConsoleInterrupts&) = delete;
    ConsoleInterrupts& operator=(const ConsoleInterrupts&) = delete;

    // Blocks until an interrupt comes (true) or stop() is called (false, then at once on
    // every later call). An interrupt that came before the call is taken at once.
    bool wait();
    // Ends the wait in progress, from any thread.
    void stop();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes text to the standard error stream in one call, past the C++ streams and their
// buffers: safe from a thread other than the one writing through std::cerr.
void WriteStandardErrorNow(std::string_view text);

// Whether standard error is a terminal (a console window on Windows).
bool StandardErrorIsTerminal();

} // namespace tarvik::base
