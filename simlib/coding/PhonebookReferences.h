#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quenlib {

// The files of a phonebook that EF_PBR names (3GPP TS 31.102 §4.4.2.1).
struct PhonebookFiles {
    std::uint16_t adn = 0;
    // 0 when the phonebook has no EF EXT1.
    std::uint16_t ext1 = 0;
};

// The first EF ADN (tag C0 of the first A8 entry) and EF EXT1 (tag C2 of the AA entry) of
// an EF_PBR record. Nothing when the record names no EF ADN or is malformed.
std::optional<PhonebookFiles> ParsePbrRecord(std::span<const std::uint8_t> record);

// The AID of an EF.DIR record (ETSI TS 102 221 §13.1) when it is a USIM's: RID A0 00 00 00 87
// and application code 10 02 (3GPP TS 31.110 annex). Nothing for any other record.
std::optional<std::vector<std::uint8_t>> UsimAidOf(std::span<const std::uint8_t> record);

} // namespace quenlib
