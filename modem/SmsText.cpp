#include "modem/SmsText.h"

#include "gsm/GsmAlphabet.h"

#include <algorithm>

namespace tarvik::modem {

SmsCoding CodingFor(std::u16string_view text) {
    const bool sevenBit =
        std::all_of(text.begin(), text.end(), [](char16_t c) { return gsm::SeptetsFor(c) != 0; });
    return sevenBit ? SmsCoding::SevenBit : SmsCoding::Ucs2;
}

std::size_t SmsUnits(std::u16string_view text) {
    if (CodingFor(text) == SmsCoding::Ucs2) {
        return text.size();
    }
    std::size_t septets = 0;
    for (const char16_t c : text) {
        septets += gsm::SeptetsFor(c);
    }
    return septets;
}

bool FitsOneSms(std::u16string_view text) {
    const std::size_t limit =
        CodingFor(text) == SmsCoding::SevenBit ? kMaxSeptets : kMaxUcs2Characters;
    return SmsUnits(text) <= limit;
}

} // namespace tarvik::modem
