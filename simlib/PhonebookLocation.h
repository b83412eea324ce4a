#pragma once

#include "simlib/LibraryState.h"

#include <optional>

namespace quenlib {

// Where a UICC keeps the phonebook the library reads and writes, looked for in this order:
// EF ADN 6F3A (with EF EXT1 6F4A) under DF Telecom, the file GSM devices have always read;
// else the global phonebook DF Telecom/5F3A, through its EF_PBR; else the USIM's local
// phonebook ADF.USIM/5F3A, through its EF_PBR (3GPP TS 31.102 §4.4.2). The ADF is found by
// its AID in EF.DIR. Nothing when the card has none of them.
std::optional<PhonebookLocation> locateUiccPhonebook(const Connection& connection);

// Whether the USIM of a UICC holds a local phonebook (an EF_PBR under ADF.USIM/5F3A):
// a newer device may read that one rather than the one the library uses.
bool hasLocalUsimPhonebook(const Connection& connection);

} // namespace quenlib
