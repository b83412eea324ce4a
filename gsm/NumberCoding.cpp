#include "gsm/NumberCoding.h"

#include <algorithm>

namespace gsm {

namespace {

constexpr std::uint8_t kFiller = 0x0F;

} // namespace

char16_t BcdNibbleToChar(std::uint8_t nibble) {
    switch (nibble & 0x0F) {
    case 0x0A:
        return u'*';
    case 0x0B:
        return u'#';
    case 0x0C:
        return u'+';
    case 0x0D:
        return u'D';
    case 0x0E:
        return u'E';
    case 0x0F:
        return 0;
    default:
        return static_cast<char16_t>(u'0' + (nibble & 0x0F));
    }
}

std::uint8_t CharToBcdNibble(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return static_cast<std::uint8_t>(c - u'0');
    }
    switch (c) {
    case u'*':
        return 0x0A;
    case u'#':
        return 0x0B;
    case u'+':
    case u'C':
        return 0x0C;
    case u'D':
        return 0x0D;
    case u'E':
        return 0x0E;
    default:
        return kFiller;
    }
}

std::u16string DecodeNumberBlock(std::span<const std::uint8_t> block) {
    if (block.size() < kNumberBlockSize || block[0] == 0xFF) {
        return {};
    }
    std::u16string number;
    if (block[1] == kTonNpiInternational) {
        number.push_back(u'+');
    }
    // The length counts the TON/NPI byte. A length above 11 reads the ten digit bytes and no
    // further: the capability and extension identifiers are no digits.
    const std::size_t digitBytes =
        std::min<std::size_t>(block[0] == 0 ? 0 : block[0] - 1u, kDigitsPerBlock / 2);
    number += DecodeDigits(block.subspan(2, digitBytes));
    if (number == u"+") {
        number.clear();
    }
    return number;
}

void EncodeNumberBlock(std::u16string_view number, std::size_t count,
                       std::span<std::uint8_t> block) {
    if (block.size() < 2) {
        return;
    }
    count = std::min({count, number.size(), kDigitsPerBlock});
    std::size_t first = 0;
    block[1] = kTonNpiUnknown;
    if (!number.empty() && number[0] == u'+') {
        block[1] = kTonNpiInternational;
        first = 1;
    }
    const std::size_t digits = count > first ? count - first : 0;
    const std::size_t digitBytes = std::min((digits + 1) / 2, block.size() - 2);
    // Whole bytes are encoded: an odd count takes its last high nibble from the character
    // after the count, the filler only when the string ends there.
    const auto bytes = EncodeDigits(number.substr(first, 2 * digitBytes));
    std::copy(bytes.begin(), bytes.end(), block.begin() + 2);
    block[0] = static_cast<std::uint8_t>(1 + (digits + 1) / 2);
}

std::u16string DecodeDigits(std::span<const std::uint8_t> bytes) {
    std::u16string digits;
    for (std::uint8_t byte : bytes) {
        for (std::uint8_t nibble :
             {static_cast<std::uint8_t>(byte & 0x0F), static_cast<std::uint8_t>(byte >> 4)}) {
            if (nibble == kFiller) {
                return digits;
            }
            digits.push_back(BcdNibbleToChar(nibble));
        }
    }
    return digits;
}

std::vector<std::uint8_t> EncodeDigits(std::u16string_view digits) {
    std::vector<std::uint8_t> bytes((digits.size() + 1) / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t low = CharToBcdNibble(digits[2 * i]);
        const std::uint8_t high =
            2 * i + 1 < digits.size() ? CharToBcdNibble(digits[2 * i + 1]) : kFiller;
        bytes[i] = static_cast<std::uint8_t>(low | high << 4);
    }
    return bytes;
}

} // namespace gsm
