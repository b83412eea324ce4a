#include "setup/SentMessageChannel.h"

#include <utility>

namespace setup {

SentMessageChannel::SentMessageChannel(Poster post) : post_(std::move(post)) {}

bool SentMessageChannel::send(std::function<void()> call) {
    const std::shared_ptr<State> state = state_;
    // Shared with the queued call, which may outlive this sender when the loop has ended.
    const auto done = std::make_shared<bool>(false);
    {
        const std::lock_guard lock(state->mutex);
        if (state->loopEnded) {
            return false;
        }
    }
    post_([state, done, call = std::move(call)] {
        // This runs on the main thread, as LoopEnded does, so the flag cannot change while
        // the call runs.
        {
            const std::lock_guard lock(state->mutex);
            if (state->loopEnded) {
                return;
            }
        }
        call();
        const std::lock_guard lock(state->mutex);
        *done = true;
        state->changed.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return *done || state->loopEnded; });
    return *done;
}

void SentMessageChannel::loopEnded() {
    const std::lock_guard lock(state_->mutex);
    state_->loopEnded = true;
    state_->changed.notify_all();
}

} // namespace setup
