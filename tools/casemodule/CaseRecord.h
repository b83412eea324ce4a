#pragma once

// The case record format of the sample case module, one 32-byte record on the card:
//
//   bytes  1 ... 20  name: up to 10 UCS2 characters, big-endian, FF FF after the last
//   bytes 21 ... 31  number: up to 22 digits in BCD, two a byte, low nibble first
//                    (0 ... 9, A for '*', B for '#'), F after the last
//   byte  32         case attribute, 00 ... FE
//
// A free record is all FF. A vendor's module defines its own format; Quenlib only ever
// sees the name, number and attribute that CaseToAdn makes of the 32 bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace casemodule {

inline constexpr std::size_t kRecordSize = 32;
inline constexpr std::size_t kMaxNameCharacters = 10;
inline constexpr std::size_t kMaxDigits = 22;
inline constexpr std::uint32_t kMaxAttribute = 0xFE;

using Record = std::array<std::uint8_t, kRecordSize>;

struct CaseEntry {
    std::vector<std::uint8_t> name; // big-endian UCS2 bytes
    std::string number;             // '0' ... '9', '*', '#'
    std::uint32_t attribute = 0;
    bool operator==(const CaseEntry&) const = default;
};

// The entry a record holds; empty for a free record. A record whose bytes stray from the
// format reads as far as it keeps to it.
std::optional<CaseEntry> decodeRecord(std::span<const std::uint8_t> record);

// The record of an entry; empty when the entry does not fit the format (too long a name or
// number, an odd name byte count, a character other than a digit, '*' or '#', an attribute
// above FE).
std::optional<Record> encodeRecord(const CaseEntry& entry);

bool isFree(std::span<const std::uint8_t> record);

} // namespace casemodule
