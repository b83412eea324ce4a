#include "simlib/LibraryState.h"

#include "simlib/PcscBackend.h"

namespace quenlib {

namespace {

PcscBackend& pcscBackend() {
    static PcscBackend instance;
    return instance;
}

LibraryState& defaultSession() {
    static LibraryState instance;
    return instance;
}

thread_local LibraryState* boundSession = nullptr;

} // namespace

LibraryState& state() {
    return boundSession != nullptr ? *boundSession : defaultSession();
}

SessionBinding::SessionBinding(LibraryState& session) : previous_(boundSession) {
    boundSession = &session;
}

SessionBinding::~SessionBinding() {
    boundSession = previous_;
}

void setCardBackend(CardBackend* backend) {
    state().backend = backend;
}

CardBackend& backend() {
    CardBackend* chosen = state().backend;
    return chosen != nullptr ? *chosen : pcscBackend();
}

} // namespace quenlib
