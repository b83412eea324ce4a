#include "gsm/TextCoding.h"

#include <algorithm>

namespace gsm {

TextForm SelectTextForm(std::u16string_view text) {
    TextForm form = TextForm::SevenBit;
    for (char16_t c : text) {
        if (c > 0x00FF) {
            return TextForm::Ucs2;
        }
        if (c >= 0x0080) {
            form = TextForm::EightBit;
        }
    }
    return form;
}

std::vector<std::uint8_t> PackSeptets(std::span<const std::uint8_t> septets) {
    std::vector<std::uint8_t> bytes((septets.size() * 7 + 7) / 8, 0);
    for (std::size_t k = 0; k < septets.size(); ++k) {
        const unsigned septet = septets[k] & 0x7Fu;
        const std::size_t bit = 7 * k;
        const std::size_t index = bit / 8;
        const unsigned shift = bit % 8;
        bytes[index] = static_cast<std::uint8_t>(bytes[index] | septet << shift);
        if (shift > 1) {
            bytes[index + 1] = static_cast<std::uint8_t>(septet >> (8 - shift));
        }
    }
    return bytes;
}

std::vector<std::uint8_t> UnpackSeptets(std::span<const std::uint8_t> bytes, std::size_t count,
                                        std::size_t firstSeptet) {
    const std::size_t held = bytes.size() * 8 / 7;
    count = firstSeptet < held ? std::min(count, held - firstSeptet) : 0;
    std::vector<std::uint8_t> septets;
    septets.reserve(count);
    for (std::size_t k = firstSeptet; k < firstSeptet + count; ++k) {
        const std::size_t bit = 7 * k;
        const std::size_t index = bit / 8;
        const unsigned shift = bit % 8;
        unsigned value = bytes[index] >> shift;
        if (shift > 1) {
            value |= static_cast<unsigned>(bytes[index + 1]) << (8 - shift);
        }
        septets.push_back(static_cast<std::uint8_t>(value & 0x7F));
    }
    return septets;
}

std::vector<std::uint8_t> Encode8Bit(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    return bytes;
}

std::u16string Decode8Bit(std::span<const std::uint8_t> bytes) {
    return std::u16string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> EncodeUcs2(std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    return bytes;
}

std::u16string DecodeUcs2(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] << 8 | bytes[i + 1]));
    }
    return text;
}

} // namespace gsm
