#pragma once

#include "simlib/include/quenlib.h"

namespace quenlib {

// What the connected card is, where the phonebook was found, and the card's last refusal.
QLRESULT describeCard(QL_CARD_INFO& info);

} // namespace quenlib
