#include "simlib/LibraryState.h"

#include "simlib/PcscBackend.h"

namespace quenlib {

namespace {

PcscBackend& pcscBackend() {
    static PcscBackend instance;
    return instance;
}

} // namespace

LibraryState& state() {
    static LibraryState instance;
    return instance;
}

void setCardBackend(CardBackend* backend) {
    state().backend = backend;
}

CardBackend& backend() {
    CardBackend* chosen = state().backend;
    return chosen != nullptr ? *chosen : pcscBackend();
}

} // namespace quenlib
