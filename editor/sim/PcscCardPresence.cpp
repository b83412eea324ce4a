#include "editor/sim/PcscCardPresence.h"

#include "CardService.h"
#include "editor/sim/ReaderList.h"

#include <string>
#include <vector>

namespace tarvik {
namespace {

// The reader name under which the service tells that readers came or went.
constexpr const char* kReadersChanged = "\\\\?PnP?\\Notification";

// The longest a wait sleeps in the service before it looks whether it was cancelled. The
// service's own cancel wakes only a call already waiting; one that cancel() just missed
// notices the flag after this.
constexpr DWORD kCancelCheck = 500; // ms

// The reader's event count: the high 16 bits of its state.
unsigned long EventCount(DWORD state) {
    return (state >> 16) & 0xFFFF;
}

} // namespace

PcscCardPresence::PcscCardPresence(std::optional<std::string> reader)
    : reader_(reader.value_or("")) {}

PcscCardPresence::~PcscCardPresence() {
    if (established_) {
        SCardReleaseContext(static_cast<SCARDCONTEXT>(context_));
    }
}

bool PcscCardPresence::Established() {
    if (established_) {
        return true;
    }
    SCARDCONTEXT context = 0;
    const LONG result = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context);
    if (result != SCARD_S_SUCCESS) {
        failure_ = std::string("no PC/SC service: ") + pcsc::ErrorText(result);
        return false;
    }
    std::lock_guard lock(mutex_);
    context_ = static_cast<std::intptr_t>(context);
    established_ = true;
    return true;
}

PresenceWait PcscCardPresence::Fail(std::string why) {
    failure_ = std::move(why);
    return PresenceWait::Failed;
}

std::string PcscCardPresence::readerName() const {
    std::lock_guard lock(mutex_);
    return reader_;
}

void PcscCardPresence::cancel() {
    cancelled_ = true;
    std::lock_guard lock(mutex_);
    if (established_) {
        SCardCancel(static_cast<SCARDCONTEXT>(context_));
    }
}

bool PcscCardPresence::goneWithin(std::chrono::milliseconds time) {
    const std::string reader = readerName();
    if (reader.empty() || !Established()) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + time;
    pcsc::ReaderState state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    for (DWORD wait = 0;;) {
        const LONG result =
            pcsc::GetStatusChange(static_cast<SCARDCONTEXT>(context_), wait, &state, 1);
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT) {
            return true; // the reader itself went
        }
        const DWORD now = state.dwEventState;
        if ((now & SCARD_STATE_PRESENT) == 0 ||
            (insertedEvents_ && EventCount(now) != *insertedEvents_)) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || cancelled_) {
            return false;
        }
        wait = static_cast<DWORD>(left.count());
        state.dwCurrentState = now & ~SCARD_STATE_CHANGED;
    }
}

// Waits until any reader holds a card, and takes the first that does.
PresenceWait PcscCardPresence::WaitForAnyReader() {
    for (;;) {
        const ReaderListing listing = ListReaders();
        if (!listing.error.empty()) {
            return Fail(listing.error);
        }
        for (const ReaderState& reader : listing.readers) {
            if (reader.holdsCard) {
                std::lock_guard lock(mutex_);
                reader_ = reader.name;
                return PresenceWait::Reached;
            }
        }
        // Every reader as it is now, and the list of readers: whichever changes first.
        std::vector<pcsc::ReaderState> states(listing.readers.size() + 1);
        for (std::size_t i = 0; i < listing.readers.size(); ++i) {
            states[i].szReader = listing.readers[i].name.c_str();
            states[i].dwCurrentState = SCARD_STATE_EMPTY;
        }
        states.back().szReader = kReadersChanged;
        states.back().dwCurrentState = static_cast<DWORD>(listing.readers.size()) << 16;
        const LONG result = pcsc::GetStatusChange(static_cast<SCARDCONTEXT>(context_), kCancelCheck,
                                                  states.data(), static_cast<DWORD>(states.size()));
        if (result == SCARD_E_CANCELLED || cancelled_) {
            return PresenceWait::Cancelled;
        }
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT) {
            return Fail(std::string("cannot watch the card readers: ") + pcsc::ErrorText(result));
        }
    }
}

PresenceWait PcscCardPresence::waitFor(bool present) {
    if (cancelled_) {
        return PresenceWait::Cancelled;
    }
    if (!Established()) {
        return PresenceWait::Failed;
    }
    if (readerName().empty()) {
        if (!present) {
            return PresenceWait::Reached; // no reader taken yet holds no card of ours
        }
        const PresenceWait any = WaitForAnyReader();
        if (any != PresenceWait::Reached) {
            return any;
        }
    }
    const std::string reader = readerName();
    pcsc::ReaderState state{};
    state.szReader = reader.c_str();
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    for (;;) {
        const bool first = state.dwCurrentState == SCARD_STATE_UNAWARE;
        const LONG result = pcsc::GetStatusChange(static_cast<SCARDCONTEXT>(context_),
                                                  first ? 0 : kCancelCheck, &state, 1);
        if (result == SCARD_E_CANCELLED || cancelled_) {
            return PresenceWait::Cancelled;
        }
        if (result == SCARD_E_TIMEOUT && !first) {
            continue; // nothing changed; look at cancel() again
        }
        if (result != SCARD_S_SUCCESS && result != SCARD_E_TIMEOUT) {
            return Fail("reader '" + reader + "': " + pcsc::ErrorText(result));
        }
        const DWORD now = state.dwEventState;
        if ((now & (SCARD_STATE_UNKNOWN | SCARD_STATE_UNAVAILABLE)) != 0) {
            return Fail("reader '" + reader + "' is gone");
        }
        const bool holds = (now & SCARD_STATE_PRESENT) != 0;
        if (present && holds) {
            insertedEvents_ = EventCount(now);
            return PresenceWait::Reached;
        }
        // Out and in again between two looks counts as out.
        const bool swapped = holds && insertedEvents_ && EventCount(now) != *insertedEvents_;
        if (!present && (!holds || swapped)) {
            insertedEvents_.reset();
            return PresenceWait::Reached;
        }
        state.dwCurrentState = now & ~SCARD_STATE_CHANGED;
    }
}

} // namespace tarvik
