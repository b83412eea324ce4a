#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace setup {

// Carries calls from a worker thread to the main thread and waits until each has run there,
// as a sent window message does, but never waits once the main thread's message loop has
// ended: then a call is dropped and its sender goes on at once. So a worker that still
// reports progress after an early end of the loop cannot hang the run.
class SentMessageChannel {
public:
    // Queues a function to run on the main thread, from any thread.
    using Poster = std::function<void(std::function<void()>)>;

    explicit SentMessageChannel(Poster post);

    // Runs `call` on the main thread and returns true once it has run; returns false without
    // it having run when the main loop has ended (before or while waiting).
    bool send(std::function<void()> call);

    // Tells the channel, from the main thread, that its loop has ended: waiting senders are
    // released, queued calls will not run, and later calls return at once.
    void loopEnded();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool loopEnded = false;
    };

    Poster post_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace setup
