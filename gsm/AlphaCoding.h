#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace gsm {

// Decodes an alpha identifier field in any of its forms: UCS2 (first byte 80), the two
// base-pointer forms (81 and 82) and one byte per character.
std::u16string DecodeAlpha(std::span<const std::uint8_t> field);

// Encodes a name into an alpha identifier field that the caller filled with FF: one byte per
// character, the form the devices read, unless that would not read back as the name (a
// character above 00FF, U+00FF anywhere, or a first character 0080 ... 0082); then the UCS2
// form. Whatever does not fit in the field is cut; the forms 81 and 82 are never written.
void EncodeAlpha(std::u16string_view name, std::span<std::uint8_t> field);

} // namespace gsm
