#pragma once

#include <chrono>
#include <string>

namespace tarvik {

// How a wait on a reader ended.
enum class PresenceWait {
    Reached,   // the reader holds a card, or holds none, as asked
    Cancelled, // cancel() was called
    Failed,    // the card service or the reader went away; failure() says why
};

// One card reader as a run over many cards watches it: it waits for the reader's state to
// change instead of asking again and again. The card service is one implementation
// (PcscCardPresence); tests use a scripted reader.
class CardPresence {
public:
    virtual ~CardPresence() = default;

    // Returns once the reader holds a card (present) or holds none; at once when it
    // already does. A card taken out and another put in while nobody waited counts as
    // having been out.
    virtual PresenceWait waitFor(bool present) = 0;
    // Whether the card that was seen arrive has left the reader, or leaves it within the
    // time. A reader notices a card taken out only when it next looks (pcscd looks every
    // 0.4 s), so a card that stopped answering may still be listed for a moment.
    virtual bool goneWithin(std::chrono::milliseconds time) = 0;
    // Ends the wait in progress, and every wait after it, with Cancelled. Safe to call
    // from any thread.
    virtual void cancel() = 0;
    // The reader's name; empty until a reader is known.
    virtual std::string readerName() const = 0;
    virtual std::string failure() const = 0;
};

} // namespace tarvik
