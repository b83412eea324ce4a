#include "setup/gui/WizardSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace setup::gui {

namespace {

// The write end of the pipe. A signal handler can reach nothing else, so this one value is
// global.
volatile sig_atomic_t g_signalWriteFd = -1;

void OnSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    if (g_signalWriteFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(g_signalWriteFd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

WizardSignal::WizardSignal() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readFd_ = fds[0];
    g_signalWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &action, nullptr);
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
}

WizardSignal::~WizardSignal() {
    // Signals that arrive from now on are ignored rather than ending the process.
    ::signal(SIGUSR1, SIG_IGN);
    notifier_.reset();
    const int writeFd = g_signalWriteFd;
    g_signalWriteFd = -1;
    if (writeFd >= 0) {
        ::close(writeFd);
    }
    if (readFd_ >= 0) {
        ::close(readFd_);
    }
}

void WizardSignal::drain() {
    char bytes[64];
    ssize_t got = 0;
    while ((got = ::read(readFd_, bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < got; ++i) {
            if (handler_) {
                handler_();
            }
        }
    }
}

} // namespace setup::gui
