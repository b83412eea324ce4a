#pragma once

#include "base/Hex.h"
#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/SimCard.h"

#include <string>
#include <string_view>

namespace simcard::testing {

// Sends a command given in hex (blanks allowed) and returns the answer in hex.
inline std::string send(SimCard& card, std::string_view commandHex) {
    auto command = tarvik::FromHex(commandHex, tarvik::HexSpacing::Spaced);
    return command ? tarvik::ToHex(card.process(*command)) : "bad test command";
}

// The 8-byte coding of a code given as text: its characters, then FF.
inline std::string code(std::string_view text) {
    auto hex = tarvik::ToHex({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return hex + std::string(16 - hex.size(), 'F');
}

inline std::string filled(std::size_t bytes, std::string_view byteHex) {
    std::string hex;
    for (std::size_t i = 0; i < bytes; ++i)
        hex += byteHex;
    return hex;
}

} // namespace simcard::testing
