#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quenlib {

// The card's identification number (EF ICCID under the MF, GSM 11.11 10.1.1).

// The digits of the 10 bytes of EF ICCID: two digits a byte, low nibble first, up to the
// first F nibble (the filler). Nothing when a byte holds a nibble from A to E before the
// filler, or when there are no digits at all: such bytes are no identification number.
std::optional<std::string> decodeIccid(std::span<const std::uint8_t> bytes);

// Reads EF ICCID and stores its digits, 0-terminated, in `digits` of `size` bytes (at
// least QL_ICCID_SIZE).
QLRESULT readIccid(char* digits, std::uint32_t size);

} // namespace quenlib
