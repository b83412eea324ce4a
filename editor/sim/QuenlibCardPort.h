#pragma once

#include "editor/sim/LibraryCardPort.h"

namespace tarvik {

// The card behind the card library's default session: the process's one connection
// (SimAccess). Any number of these reach the same card.
class QuenlibCardPort final : public LibraryCardPort {
public:
    QuenlibCardPort();
};

} // namespace tarvik
