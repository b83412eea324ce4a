#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace simcard {

using Bytes = std::vector<std::uint8_t>;

// Upper-case hex; with `spaced` the bytes are separated by one blank ("A0 A4 00").
std::string toHex(std::span<const std::uint8_t> bytes, bool spaced = false);
// Appends the unspaced upper-case hex of `bytes` to `text`.
void appendHex(std::string& text, std::span<const std::uint8_t> bytes);

// Parses hex digits, ignoring blanks; nullopt on any other character or an odd digit count.
std::optional<Bytes> parseHex(std::string_view text);

} // namespace simcard
