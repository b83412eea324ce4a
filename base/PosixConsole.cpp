// The console on POSIX: interrupts taken through a signal descriptor, woken by an event
// descriptor when the watch ends.
#include "base/Console.h"
#include "base/UniqueFd.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace tarvik::base {
namespace {

sigset_t Interrupts() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

// The signals are blocked in the thread that made it (and in the threads it starts
// afterwards), so they wait on the descriptor instead of ending the program.
struct ConsoleInterrupts::State {
    sigset_t previousMask{};
    UniqueFd signals;
    UniqueFd wake;
};

ConsoleInterrupts::ConsoleInterrupts() : state_(std::make_unique<State>()) {
    const sigset_t interrupts = Interrupts();
    pthread_sigmask(SIG_BLOCK, &interrupts, &state_->previousMask);
    state_->signals.reset(signalfd(-1, &interrupts, SFD_CLOEXEC));
    state_->wake.reset(eventfd(0, EFD_CLOEXEC));
}

ConsoleInterrupts::~ConsoleInterrupts() {
    pthread_sigmask(SIG_SETMASK, &state_->previousMask, nullptr);
}

bool ConsoleInterrupts::wait() {
    for (;;) {
        pollfd fds[2] = {{state_->signals.get(), POLLIN, 0}, {state_->wake.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (fds[1].revents != 0) {
            return false;
        }
        signalfd_siginfo info{};
        if (::read(state_->signals.get(), &info, sizeof info) ==
            static_cast<ssize_t>(sizeof info)) {
            return true;
        }
    }
}

void ConsoleInterrupts::stop() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(state_->wake.get(), &one, sizeof one);
}

void WriteStandardErrorNow(std::string_view text) {
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, text.data(), text.size());
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace tarvik::base
