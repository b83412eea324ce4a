#pragma once

#include "simlib/include/quenlib.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quenlib {

// Texts in the fixed fields of the exported records.

// The characters before the first 0 unit, or the whole field when it has none. A copy: the
// field's unit type is the platform's (QL_CHAR16), not always char16_t.
template <std::size_t N>
std::u16string fieldText(const QL_CHAR16 (&field)[N]) {
    return std::u16string(field, std::find(field, field + N, QL_CHAR16{0}));
}

// A host's 0-terminated text.
inline std::u16string terminatedText(const QL_CHAR16* text) {
    const QL_CHAR16* end = text;
    while (*end != 0) {
        ++end;
    }
    return std::u16string(text, end);
}

// What a C caller sees of a text: the characters before its first 0 unit.
inline std::u16string_view beforeFirstNul(std::u16string_view text) {
    return text.substr(0, text.find(u'\0'));
}

// Stores `value` with its 0 unit, cut to what the field holds; `length` receives the
// characters stored.
template <std::size_t N>
void storeText(std::u16string_view value, QL_CHAR16 (&field)[N], std::uint32_t& length) {
    const std::size_t count = std::min(value.size(), N - 1);
    std::copy_n(value.begin(), count, field);
    field[count] = 0;
    length = static_cast<std::uint32_t>(count);
}

// Removes a leading '+' in place, moving the rest one place left.
template <std::size_t N>
void dropLeadingPlus(QL_CHAR16 (&field)[N]) {
    const std::size_t length = fieldText(field).size();
    if (length > 0 && field[0] == u'+') {
        std::copy(field + 1, field + length, field);
        field[length - 1] = 0;
    }
}

} // namespace quenlib
