#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {

// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038 6.2.1): what phones
// show for the septets of a 7-bit short message. A character of the extension table takes two
// septets, the escape 1B and its code.

inline constexpr std::uint8_t kEscape = 0x1B;

// How many septets the alphabet needs for `c`: 1 in the default table, 2 in the extension
// table, 0 when the alphabet cannot hold it.
unsigned SeptetsFor(char16_t c);

// The septets of `text`, or nothing when the alphabet cannot hold one of its characters.
std::optional<std::vector<std::uint8_t>> EncodeSeptets(std::u16string_view text);

// The text of `septets` (values above 7F are read by their low 7 bits). An escape followed by
// a code the extension table does not hold reads as that code's default character, and an
// escape at the very end reads as a space, as 23.038 asks of a receiver.
std::u16string DecodeSeptets(std::span<const std::uint8_t> septets);

} // namespace gsm
