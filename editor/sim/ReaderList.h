#pragma once

#include <string>
#include <vector>

namespace tarvik {

// One card reader the PC/SC service knows.
struct ReaderState {
    std::string name;
    bool holdsCard = false;
};

// The readers and whether each holds a card, or why they cannot be listed.
struct ReaderListing {
    std::vector<ReaderState> readers;
    std::string error;      // empty when the listing worked (an empty list included)
    bool noService = false; // the card service is not running (SCARD_E_NO_SERVICE)
};

ReaderListing ListReaders();

} // namespace tarvik
