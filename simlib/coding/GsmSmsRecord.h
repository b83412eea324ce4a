#pragma once

#include "simlib/coding/ShortMessage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quenlib {

// GSM EF SMS records (GSM 11.11): a status byte, the service-centre address and an
// SMS-DELIVER or SMS-SUBMIT TPDU (3GPP TS 23.040), the rest FF.

// Reads a record. Status 00 and FF read as a free record, a status other than 1, 3, 5 and 7
// as kSmsUnknown, both without address or text. Lengths in the record never lead outside it:
// a record cut short reads as far as it goes.
ShortMessage parseGsmRecord(std::span<const std::uint8_t> record);

// Builds a record of `recordLength` bytes: statuses 1 and 3 as an SMS-DELIVER with the time
// stamp, 5 and 7 as an SMS-SUBMIT; no address and no text, or any other status, give all FF.
// The text goes in the narrowest coding that holds it, cut to what the record holds.
std::vector<std::uint8_t> buildGsmRecord(const ShortMessage& message, std::size_t recordLength);

} // namespace quenlib
