#pragma once

#include "gsm/TextCoding.h"
#include "simlib/coding/ShortMessage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quenlib {

// GSM EF SMS records (GSM 11.11): a status byte, the service-centre address and an
// SMS-DELIVER or SMS-SUBMIT TPDU (3GPP TS 23.040), the rest FF.

// The coding of a text in a record: 7-bit when every character is below 0080 and the GSM
// default alphabet holds it, else 8-bit when every character is below 0100, else UCS2.
gsm::TextForm SelectMessageForm(std::u16string_view text);

// Reads a record. A status with bit 1 clear, and FF, read as a free record; a status other
// than 1, 3, 5, 7 and the sent ones with a status report (0D, 15, 1D, read as 5) as
// kSmsUnknown, both without address or text. Lengths in the record never lead outside it:
// a record cut short reads as far as it goes.
ShortMessage ParseGsmRecord(std::span<const std::uint8_t> record);

// Builds a record of `recordLength` bytes: statuses 1 and 3 as an SMS-DELIVER with the time
// stamp, sent and to-be-sent ones as an SMS-SUBMIT that asks for a status report (a sent
// message thus gets status 0D); no address and no text, or any other status, give all FF.
// An address with a leading '+' is international. The text goes in the coding
// SelectMessageForm() chooses, cut to what TP-UD and the record hold. Empty when the fields
// before the text (up to TP-UDL) do not fit the record: a TPDU cut there would be misread.
std::optional<std::vector<std::uint8_t>> BuildGsmRecord(const ShortMessage& message,
                                                        std::size_t recordLength);

} // namespace quenlib
