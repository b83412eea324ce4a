#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

// Bytes as upper-case hexadecimal digits, as PDU mode carries them on the serial line.
std::string ToHex(std::span<const std::uint8_t> bytes);

// The bytes of hexadecimal digits (either case); nothing for an odd count or another character.
std::optional<std::vector<std::uint8_t>> FromHex(std::string_view hex);

} // namespace tarvik::modem
