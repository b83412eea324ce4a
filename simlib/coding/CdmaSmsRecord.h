#pragma once

#include "simlib/coding/ShortMessage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quenlib {

// CDMA EF SMS records (3GPP2 C.S0023): a status byte, the message length and an SMS
// transport layer message (TIA/EIA-637): message type, then parameters as identifier,
// length and value.

// Reads a record: the address from the originating or destination address parameter, the
// text and the message-centre time stamp from the bearer data. A record whose status has
// bit 1 clear is free and reads without address or text. Empty when the time stamp does not
// have its six bytes. Lengths in the record never lead outside it.
std::optional<ShortMessage> ParseCdmaRecord(std::span<const std::uint8_t> record);

// Builds a record of `recordLength` bytes; no address and no text give all 00. The address
// goes in DTMF digits (characters other than 0 ... 9, '*' and '#' are left out), the text in
// 7-bit ASCII when every character is below 0080, else in UCS2, cut to what the record holds.
// Empty when the parameters around the text do not fit the record.
std::optional<std::vector<std::uint8_t>> BuildCdmaRecord(const ShortMessage& message,
                                                         std::size_t recordLength);

} // namespace quenlib
