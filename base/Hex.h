#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// How hexadecimal text lays out its bytes: digit pairs run together ("A0A400"), or blanks
// stand between them ("A0 A4 00"; reading then skips blanks and tabs anywhere).
enum class HexSpacing { Packed, Spaced };

// Bytes as upper-case hexadecimal digits.
std::string ToHex(std::span<const std::uint8_t> bytes, HexSpacing spacing = HexSpacing::Packed);

// Appends the packed upper-case digits of `bytes` to `text`.
void AppendHex(std::string& text, std::span<const std::uint8_t> bytes);

// The bytes of hexadecimal digits in either case; nothing for an odd count of digits or any
// other character (with Spaced, blanks and tabs are not counted as such).
std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text,
                                                 HexSpacing spacing = HexSpacing::Packed);

} // namespace tarvik
