#include "tools/casemodule/CaseRecord.h"

#include <algorithm>

namespace casemodule {

namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameBytes = 2 * kMaxNameCharacters;
constexpr std::size_t kNumberOffset = kNameOffset + kNameBytes;
constexpr std::size_t kNumberBytes = kMaxDigits / 2;
constexpr std::size_t kAttributeOffset = kNumberOffset + kNumberBytes;

std::optional<std::uint8_t> nibbleOf(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<std::uint8_t>(c - '0');
    }
    if (c == '*') {
        return 0x0A;
    }
    if (c == '#') {
        return 0x0B;
    }
    return std::nullopt;
}

// A digit nibble as its character; 0 for the filler and for nibbles the format does not use.
char characterOf(std::uint8_t nibble) {
    if (nibble <= 9) {
        return static_cast<char>('0' + nibble);
    }
    return nibble == 0x0A ? '*' : nibble == 0x0B ? '#' : '\0';
}

} // namespace

bool isFree(std::span<const std::uint8_t> record) {
    return std::all_of(record.begin(), record.end(), [](std::uint8_t b) { return b == 0xFF; });
}

std::optional<CaseEntry> decodeRecord(std::span<const std::uint8_t> record) {
    if (record.size() != kRecordSize || isFree(record)) {
        return std::nullopt;
    }
    CaseEntry entry;
    for (std::size_t i = kNameOffset; i < kNameOffset + kNameBytes; i += 2) {
        if (record[i] == 0xFF && record[i + 1] == 0xFF) {
            break;
        }
        entry.name.push_back(record[i]);
        entry.name.push_back(record[i + 1]);
    }
    for (std::size_t i = kNumberOffset; i < kNumberOffset + kNumberBytes; ++i) {
        const char low = characterOf(record[i] & 0x0F);
        const char high = low != '\0' ? characterOf(record[i] >> 4) : '\0';
        if (low != '\0') {
            entry.number += low;
        }
        if (high == '\0') {
            break;
        }
        entry.number += high;
    }
    entry.attribute = record[kAttributeOffset];
    return entry;
}

std::optional<Record> encodeRecord(const CaseEntry& entry) {
    if (entry.name.size() > kNameBytes || entry.name.size() % 2 != 0 ||
        entry.number.size() > kMaxDigits || entry.attribute > kMaxAttribute) {
        return std::nullopt;
    }
    // FF FF ends the name, so U+FFFF cannot be part of one.
    for (std::size_t i = 0; i < entry.name.size(); i += 2) {
        if (entry.name[i] == 0xFF && entry.name[i + 1] == 0xFF) {
            return std::nullopt;
        }
    }
    Record record;
    record.fill(0xFF);
    std::copy(entry.name.begin(), entry.name.end(), record.begin() + kNameOffset);
    for (std::size_t i = 0; i < entry.number.size(); ++i) {
        const auto nibble = nibbleOf(entry.number[i]);
        if (!nibble) {
            return std::nullopt;
        }
        std::uint8_t& byte = record[kNumberOffset + i / 2];
        byte = i % 2 == 0 ? static_cast<std::uint8_t>(0xF0 | *nibble)
                          : static_cast<std::uint8_t>((byte & 0x0F) | *nibble << 4);
    }
    record[kAttributeOffset] = static_cast<std::uint8_t>(entry.attribute);
    return record;
}

} // namespace casemodule
