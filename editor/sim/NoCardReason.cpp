#include "editor/sim/NoCardReason.h"

namespace tarvik {

NoCardReason WhyNoCard(const ReaderListing& listing, const std::optional<std::string>& reader) {
    if (listing.noService) {
        return {NoCardKind::NoService, {}};
    }
    if (!listing.error.empty()) {
        // The service answered, but not with its readers: nothing more can be said.
        return {NoCardKind::NotASim, {}};
    }
    if (listing.readers.empty()) {
        return {NoCardKind::NoReaders, {}};
    }
    bool found = false;
    bool anyCard = false;
    for (const ReaderState& state : listing.readers) {
        if (!reader || state.name == *reader) {
            found = true;
            anyCard = anyCard || state.holdsCard;
        }
    }
    if (!found) {
        return {NoCardKind::ReaderMissing, *reader};
    }
    return {anyCard ? NoCardKind::NotASim : NoCardKind::NoCard, {}};
}

} // namespace tarvik
