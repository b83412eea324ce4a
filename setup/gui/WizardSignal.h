#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace setup::gui {

// Receives SIGUSR1, the stand-in for the window message that the real setup program posts to
// setup, and hands it to the main thread's message loop: the signal handler only writes a
// byte to a pipe, which the loop watches. A signal that arrives before the loop runs waits
// for it. One instance at a time.
class WizardSignal {
public:
    WizardSignal();
    ~WizardSignal();
    WizardSignal(const WizardSignal&) = delete;
    WizardSignal& operator=(const WizardSignal&) = delete;

    // Called on the main thread for every signal received.
    void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }

private:
    void drain();

    int readFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> handler_;
};

} // namespace setup::gui
