#include "gsm/AlphaCoding.h"

#include "gsm/TextCoding.h"

#include <algorithm>
#include <cstddef>

namespace gsm {

namespace {

constexpr std::uint8_t kUcs2Form = 0x80;
constexpr std::uint8_t kBasePointer8Form = 0x81;
constexpr std::uint8_t kBasePointer16Form = 0x82;

// Characters of the base-pointer forms: a byte below 80 is the character itself, a byte
// with bit 8 set is an offset from the base.
std::u16string DecodeBasePointer(std::span<const std::uint8_t> bytes, unsigned base) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::uint8_t byte : bytes) {
        text.push_back(static_cast<char16_t>(byte < 0x80 ? byte : base + (byte - 0x80u)));
    }
    return text;
}

// The k characters that start at `offset`, as far as the field holds them.
std::span<const std::uint8_t> CountedBytes(std::span<const std::uint8_t> field, std::size_t offset,
                                           std::size_t count) {
    if (field.size() <= offset) {
        return {};
    }
    return field.subspan(offset, std::min(count, field.size() - offset));
}

// Whether the one-byte form would read back as another name: U+00FF reads as the filler that
// ends the name, and a first character 0080 ... 0082 as the tag of another form.
bool NeedsUcs2(std::u16string_view name) {
    if (SelectTextForm(name) == TextForm::Ucs2) {
        return true;
    }
    if (!name.empty() && name[0] >= kUcs2Form && name[0] <= kBasePointer16Form) {
        return true;
    }
    return name.find(u'\u00FF') != std::u16string_view::npos;
}

} // namespace

std::u16string DecodeAlpha(std::span<const std::uint8_t> field) {
    if (field.empty()) {
        return {};
    }
    switch (field[0]) {
    case kUcs2Form: {
        std::u16string text;
        for (std::size_t i = 1; i + 1 < field.size(); i += 2) {
            if (field[i] == 0xFF && field[i + 1] == 0xFF) {
                break;
            }
            text.push_back(static_cast<char16_t>(field[i] << 8 | field[i + 1]));
        }
        return text;
    }
    case kBasePointer8Form:
        if (field.size() < 3) {
            return {};
        }
        return DecodeBasePointer(CountedBytes(field, 3, field[1]), field[2] * 128u);
    case kBasePointer16Form:
        if (field.size() < 4) {
            return {};
        }
        return DecodeBasePointer(CountedBytes(field, 4, field[1]),
                                 static_cast<unsigned>(field[2] << 8 | field[3]));
    default: {
        const auto end = std::find(field.begin(), field.end(), std::uint8_t{0xFF});
        return Decode8Bit(std::span(field.begin(), end));
    }
    }
}

void EncodeAlpha(std::u16string_view name, std::span<std::uint8_t> field) {
    if (field.empty()) {
        return;
    }
    if (NeedsUcs2(name)) {
        field[0] = kUcs2Form;
        const auto bytes = EncodeUcs2(name.substr(0, (field.size() - 1) / 2));
        std::copy(bytes.begin(), bytes.end(), field.begin() + 1);
        return;
    }
    const auto bytes = Encode8Bit(name.substr(0, field.size()));
    std::copy(bytes.begin(), bytes.end(), field.begin());
}

} // namespace gsm
