#pragma once

#include "editor/sim/ReaderList.h"

#include <optional>
#include <string>

namespace tarvik {

// Why no SIM could be reached, as far as the card service tells.
enum class NoCardKind {
    NoService,     // the card service (pcscd) is not running
    NoReaders,     // the service knows no card reader
    ReaderMissing, // the reader the library was told to use is not connected
    NoCard,        // the reader (or, with none named, every reader) holds no card
    NotASim,       // a card is there, but it does not answer as a SIM
};

struct NoCardReason {
    NoCardKind kind = NoCardKind::NotASim;
    std::string reader; // ReaderMissing: the reader's name
};

// The reason from the service's listing of the readers and the reader the library was
// told to use (nothing: the first one that holds a card).
NoCardReason WhyNoCard(const ReaderListing& listing, const std::optional<std::string>& reader);

} // namespace tarvik
