#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tarvik {

// Names and numbers cross to the card cut to this many UTF-16 units.
inline constexpr std::size_t kCardFieldLimit = 64;

// Copies the first min(length, 64) units of source into destination and ends them with a
// 0 unit. A destination too small for that takes what fits before its last unit.
void CopyWide64(std::u16string_view source, std::span<char16_t> destination);

// The text of a 0-terminated field of at most capacity units: up to its first 0 unit.
std::u16string_view TextUpToNul(std::span<const char16_t> field);

// Whether two names are the same text when letters are compared without regard to case:
// the ASCII letters and the accented letters of Windows-1252 (é and É, œ and Œ, ÿ and Ÿ).
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace tarvik
