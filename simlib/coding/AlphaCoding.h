#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quenlib {

// Decodes an alpha identifier field in any of its forms: UCS2 (first byte 80), the two
// base-pointer forms (81 and 82) and one byte per character.
std::u16string decodeAlpha(std::span<const std::uint8_t> field);

// Encodes a name into an alpha identifier field that the caller filled with FF: the
// UCS2 form when any character lies above 00FF, else one byte per character. Whatever
// does not fit in the field is cut; the forms 81 and 82 are never written.
void encodeAlpha(std::u16string_view name, std::span<std::uint8_t> field);

} // namespace quenlib
