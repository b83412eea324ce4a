#include "editor/cli/InterruptWatch.h"

#include <cerrno>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace tarvik::cli {
namespace {

sigset_t Interrupts() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> first, std::function<void()> second)
    : first_(std::move(first)), second_(std::move(second)) {
    const sigset_t interrupts = Interrupts();
    pthread_sigmask(SIG_BLOCK, &interrupts, &previousMask_);
    signals_.reset(signalfd(-1, &interrupts, SFD_CLOEXEC));
    wake_.reset(eventfd(0, EFD_CLOEXEC));
    thread_ = std::thread([this] { watch(); });
}

InterruptWatch::~InterruptWatch() {
    const std::uint64_t one = 1;
    if (::write(wake_.get(), &one, sizeof one) < 0) {
        // The thread then ends with the process.
        thread_.detach();
    } else {
        thread_.join();
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void InterruptWatch::watch() {
    for (int seen = 0;;) {
        pollfd fds[2] = {{signals_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        signalfd_siginfo info{};
        if (::read(signals_.get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
            continue;
        }
        (seen++ == 0 ? first_ : second_)();
    }
}

} // namespace tarvik::cli
