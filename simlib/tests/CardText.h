#pragma once

#include "simlib/include/quenlib.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quenlib::test_support {

// Text of the exported records as char16_t, whatever unit type QL_CHAR16 is on the platform
// (char16_t, or wchar_t on Windows).

// The units before the first 0 unit.
inline std::u16string Text(const QL_CHAR16* units) {
    std::u16string text;
    for (; *units != 0; ++units) {
        text.push_back(static_cast<char16_t>(*units));
    }
    return text;
}

inline std::u16string Text(const QL_CHAR16* units, std::size_t count) {
    return std::u16string(units, units + count);
}

// Text to hand to an export that takes a 0-terminated QL_CHAR16 string (use .c_str()).
inline std::basic_string<QL_CHAR16> Units(std::u16string_view text) {
    return std::basic_string<QL_CHAR16>(text.begin(), text.end());
}

} // namespace quenlib::test_support
