#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {

// Size of the number block at the end of an ADN or MSISDN record: length byte, TON/NPI,
// ten digit bytes, capability identifier and extension identifier.
inline constexpr std::size_t kNumberBlockSize = 14;
// Digits held by the ten digit bytes of a number block or of an extension record.
inline constexpr std::size_t kDigitsPerBlock = 20;

inline constexpr std::uint8_t kTonNpiInternational = 0x91;
inline constexpr std::uint8_t kTonNpiUnknown = 0x81;

// One BCD nibble as a character; 0 for the filler nibble F.
char16_t BcdNibbleToChar(std::uint8_t nibble);
// One character as a BCD nibble; anything that is not a dialling character becomes F.
std::uint8_t CharToBcdNibble(char16_t c);

// Decodes a number block (at least its first 14 bytes are read; fewer bytes read as
// absent). International numbers get a leading '+'.
std::u16string DecodeNumberBlock(std::span<const std::uint8_t> block);

// Encodes the first `count` characters of `number` (count at most 20) into the length
// byte, TON/NPI and digit bytes of `block`. Bytes after the digits are left as the
// caller filled them.
void EncodeNumberBlock(std::u16string_view number, std::size_t count,
                       std::span<std::uint8_t> block);

// Decodes BCD digits, low nibble first, up to the first F nibble.
std::u16string DecodeDigits(std::span<const std::uint8_t> bytes);

// Encodes digits two per byte, low nibble first; an odd count ends with an F nibble.
std::vector<std::uint8_t> EncodeDigits(std::u16string_view digits);

} // namespace gsm
