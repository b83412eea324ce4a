#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik {

// The hash by which the language table finds a text: 7 plus, for the byte b at 0-based
// position j, b * (79 + 13 * j), in wrap-around 32-bit arithmetic. "" gives 7, "abc" 27081.
std::uint32_t TextKeyHash(std::string_view text);

} // namespace tarvik
