#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>

namespace quenlib {

// The short messages (EF SMS) of a GSM card in DF Telecom, or of a CDMA card in 7F25.
QLRESULT selectShortMessages(QL_COUNT_INFO& info);
QLRESULT readShortMessage(QL_SMS_ITEM& item);
QLRESULT writeShortMessage(QL_SMS_ITEM& item);
QLRESULT readShortMessageRecord(std::uint32_t index, std::uint8_t* buffer);
QLRESULT writeShortMessageRecord(std::uint32_t index, const std::uint8_t* buffer);

} // namespace quenlib
