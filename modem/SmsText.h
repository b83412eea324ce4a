#pragma once

#include <cstddef>
#include <string_view>

namespace tarvik::modem {

// How a text travels in one SMS: the GSM 7-bit default alphabet when it holds every
// character (those of the extension table take two septets), UCS2 otherwise.
enum class SmsCoding { SevenBit, Ucs2 };

// One SMS carries 140 octets of user data: 160 septets or 70 UCS2 characters.
inline constexpr std::size_t kMaxSeptets = 160;
inline constexpr std::size_t kMaxUcs2Characters = 70;

SmsCoding CodingFor(std::u16string_view text);

// The room `text` takes in its coding: septets for 7-bit, characters for UCS2.
std::size_t SmsUnits(std::u16string_view text);

// Whether `text` fits one SMS without a concatenation header.
bool FitsOneSms(std::u16string_view text);

} // namespace tarvik::modem
