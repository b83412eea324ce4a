// The console on Windows: Ctrl+C and Ctrl+Break reach a handler that the system runs on a
// thread of its own; it counts them and signals an event that wait() takes them from.
#include "base/Console.h"

#include <atomic>
#include <cstdio>
#include <io.h>
#include <mutex>
#include <windows.h>

namespace tarvik::base {
namespace {

// A handler has no context of its own: it reaches the one living watch through this.
std::mutex handlerMutex;
ConsoleInterrupts* liveWatch = nullptr;

} // namespace

struct ConsoleInterrupts::State {
    HANDLE interrupted = nullptr; // auto-reset: set once per interrupt taken
    HANDLE stopped = nullptr;     // manual reset: stays set once stop() was called
    std::atomic<int> pending{0};
    static BOOL WINAPI Handler(DWORD event);
};

BOOL WINAPI ConsoleInterrupts::State::Handler(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE; // closing the window or logging off ends the program as usual
    }
    const std::lock_guard lock(handlerMutex);
    if (liveWatch == nullptr) {
        return FALSE;
    }
    ++liveWatch->state_->pending;
    ::SetEvent(liveWatch->state_->interrupted);
    return TRUE;
}

ConsoleInterrupts::ConsoleInterrupts() : state_(std::make_unique<State>()) {
    state_->interrupted = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    state_->stopped = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        const std::lock_guard lock(handlerMutex);
        liveWatch = this;
    }
    ::SetConsoleCtrlHandler(State::Handler, TRUE);
}

ConsoleInterrupts::~ConsoleInterrupts() {
    ::SetConsoleCtrlHandler(State::Handler, FALSE);
    {
        const std::lock_guard lock(handlerMutex);
        liveWatch = nullptr;
    }
    ::CloseHandle(state_->interrupted);
    ::CloseHandle(state_->stopped);
}

bool ConsoleInterrupts::wait() {
    for (;;) {
        // Stopping wins over an interrupt that waits: the watch is ending.
        if (::WaitForSingleObject(state_->stopped, 0) == WAIT_OBJECT_0) {
            return false;
        }
        int pending = state_->pending.load();
        while (pending > 0 && !state_->pending.compare_exchange_weak(pending, pending - 1)) {
        }
        if (pending > 0) {
            return true;
        }
        const HANDLE events[2] = {state_->stopped, state_->interrupted};
        if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_FAILED) {
            return false;
        }
    }
}

void ConsoleInterrupts::stop() {
    ::SetEvent(state_->stopped);
}

void WriteStandardErrorNow(std::string_view text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                &written, nullptr);
}

bool StandardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

} // namespace tarvik::base
