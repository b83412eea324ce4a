#include "editor/sim/CardText.h"

#include <algorithm>

namespace tarvik {
namespace {

// The upper-case letter of a Windows-1252 letter, any other character as it is.
char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    // à..þ but the division sign: Latin-1's lower-case block sits 32 above its upper case.
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) {
        return static_cast<char16_t>(c - 0x20);
    }
    switch (c) {
    case 0x0161: // š
    case 0x0153: // œ
    case 0x017E: // ž
        return static_cast<char16_t>(c - 1);
    case 0x00FF: // ÿ
        return 0x0178;
    default:
        return c;
    }
}

} // namespace

void CopyWide64(std::u16string_view source, std::span<char16_t> destination) {
    if (destination.empty()) {
        return;
    }
    const std::size_t count = std::min({source.size(), kCardFieldLimit, destination.size() - 1});
    std::copy_n(source.begin(), count, destination.begin());
    destination[count] = 0;
}

std::u16string_view TextUpToNul(std::span<const char16_t> field) {
    const auto end = std::find(field.begin(), field.end(), u'\0');
    return {field.data(), static_cast<std::size_t>(end - field.begin())};
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

} // namespace tarvik
