#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// What a telephone field takes: what a card's number field can hold (BCD digits, "*" and
// "#", with "+" as the type of number) and a device can dial. True for a digit, "*", "#",
// a control key (editing keys pass on) and "+" typed at position 0, the start of the number.
bool TelephoneKeyAllowed(char key, std::size_t position);

// Whether text is a number a device can dial: digits, "*" and "#", after at most one
// leading "+". The empty text (no number) is.
bool IsDialableNumber(std::string_view text);

// The lines of a program (8-bit text) that give a telephone entry (TLn, TOn:m, TKn) a
// number a device cannot dial, as they stand; surrounding blanks of the number are no fault,
// since they are trimmed.
std::vector<std::string> UndialableEntries(std::span<const std::string> lines);

} // namespace tarvik
