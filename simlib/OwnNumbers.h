#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>

namespace quenlib {

// The card's own numbers (EF MSISDN): records of the phonebook's layout whose extension
// identifiers are ignored on reading and written FF.
QLRESULT selectOwnNumbers(QL_FILE_INFO& info);
QLRESULT readOwnNumber(std::uint32_t index, QL_CHAR16* name, QL_CHAR16* number);
QLRESULT writeOwnNumber(std::uint32_t index, const QL_CHAR16* name, const QL_CHAR16* number);

} // namespace quenlib
