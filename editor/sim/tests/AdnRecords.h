#pragma once

// Phonebook records written and read byte by byte as GSM 11.11 lays them out, so that the
// tests check the card's contents without the card library's own coding.
//
// EF ADN (GSM 11.11 10.5.1), record length X + 14: alpha identifier (X bytes, Annex B),
// length of the BCD number (TON/NPI byte included, FF for none), TON/NPI, 10 bytes of BCD
// digits (low nibble first, F filler), capability identifier, extension1 record identifier.
// EF EXT1 (10.5.10), 13 bytes: record type (02 additional data), length, 10 BCD bytes,
// identifier of the next record (FF for none).

#include "base/Hex.h"
#include "tools/simcard/core/Bytes.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::testing {

// The bytes of hex text, which must be well formed.
inline simcard::Bytes Hex(std::string_view hex) {
    const auto bytes = tarvik::FromHex(hex, tarvik::HexSpacing::Spaced);
    if (!bytes) {
        throw std::invalid_argument("bad hex in a test: " + std::string(hex));
    }
    return *bytes;
}

// A 28-byte ADN record: the alpha bytes padded with FF to 14, then the number block
// (length, TON/NPI, digits) padded with FF to 14.
inline simcard::Bytes AdnRecord(std::string_view alphaHex, std::string_view numberHex = "") {
    simcard::Bytes record = Hex(alphaHex);
    record.resize(14, 0xFF);
    const simcard::Bytes number = Hex(numberHex);
    record.insert(record.end(), number.begin(), number.end());
    record.resize(28, 0xFF);
    return record;
}

inline void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The BCD digits of bytes, low nibble first, up to the first F (GSM 11.11 10.5.1).
inline std::string BcdDigits(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789*#CDE";
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
        for (const int nibble : {bytes[i] & 0x0F, bytes[i] >> 4}) {
            if (nibble == 0x0F) {
                return digits;
            }
            digits += kDigits[nibble];
        }
    }
    return digits;
}

// An ADN record as "NAME=NUMBER" in UTF-8, following the extension chain through ext1;
// "" for an empty record. Names in the one-byte form are read as Latin-1 codes, which is
// how the library writes the characters up to U+00FF; the UCS2 form (80) is read as
// big-endian pairs.
inline std::string RecordText(const simcard::Bytes& record,
                              const std::vector<simcard::Bytes>& ext1 = {}) {
    const std::size_t alphaLength = record.size() - 14;
    std::string name;
    if (alphaLength > 0 && record[0] == 0x80) {
        for (std::size_t i = 1; i + 1 < alphaLength; i += 2) {
            const char32_t c = (record[i] << 8) | record[i + 1];
            if (c == 0xFFFF) {
                break;
            }
            AppendUtf8(name, c);
        }
    } else {
        for (std::size_t i = 0; i < alphaLength && record[i] != 0xFF; ++i) {
            AppendUtf8(name, record[i]);
        }
    }
    const std::uint8_t* block = record.data() + alphaLength;
    std::string number;
    if (block[0] != 0xFF && block[0] >= 1) {
        number = block[1] == 0x91 ? "+" : "";
        number += BcdDigits(block + 2, std::min<std::size_t>(block[0] - 1u, 10));
        int next = block[13];
        for (int hops = 0; next != 0xFF && next >= 1 && next <= static_cast<int>(ext1.size()) &&
                           hops < static_cast<int>(ext1.size());
             ++hops) {
            const simcard::Bytes& extension = ext1[next - 1];
            number += BcdDigits(extension.data() + 2, std::min<std::size_t>(extension[1], 10));
            next = extension[12];
        }
    }
    if (name.empty() && number.empty()) {
        return "";
    }
    return name + "=" + number;
}

} // namespace tarvik::testing
