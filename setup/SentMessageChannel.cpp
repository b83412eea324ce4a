#include "setup/SentMessageChannel.h"

#include <utility>

namespace setup {

SentMessageChannel::SentMessageChannel(Poster post) : m_post(std::move(post)) {}

bool SentMessageChannel::Send(std::function<void()> call) {
    const std::shared_ptr<State> state = m_state;
    // Shared with the queued call, which may outlive this sender when the loop has ended.
    const auto done = std::make_shared<bool>(false);
    {
        const std::lock_guard lock(state->mutex);
        if (state->bLoopEnded) {
            return false;
        }
    }
    m_post([state, done, call = std::move(call)] {
        // This runs on the main thread, as LoopEnded does, so the flag cannot change while
        // the call runs.
        {
            const std::lock_guard lock(state->mutex);
            if (state->bLoopEnded) {
                return;
            }
        }
        call();
        const std::lock_guard lock(state->mutex);
        *done = true;
        state->changed.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->changed.wait(lock, [&] { return *done || state->bLoopEnded; });
    return *done;
}

void SentMessageChannel::LoopEnded() {
    const std::lock_guard lock(m_state->mutex);
    m_state->bLoopEnded = true;
    m_state->changed.notify_all();
}

} // namespace setup
