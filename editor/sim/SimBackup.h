#pragma once

#include "editor/sim/CardRecords.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// A copy of a card's whole phonebook, byte for byte: every record of EF ADN and of EF EXT1
// and the card's ICCID, taken before a write changes the card.
struct SimBackup {
    std::optional<std::string> iccid; // the digits; nothing when the card's is unknown
    std::time_t saved = 0;            // when the copy was taken
    int adnRecordLength = 0;
    std::vector<RecordBytes> adn;  // each adnRecordLength bytes
    std::vector<RecordBytes> ext1; // each kExt1RecordLength bytes

    // The phonebook records that hold something (not all FF).
    int usedRecords() const;
    bool operator==(const SimBackup&) const = default;
};

// The backup as a small text file, one record a line in hex:
//
//   tarvik-sim-backup 1
//   iccid 8949000000000000017        (or "iccid unknown")
//   saved 2025-01-31T13:05:09Z       (UTC)
//   adn 250 28                       (EF ADN: record count and length)
//   ext1 10 13                       (EF EXT1: record count and length)
//   adn-record 1 544C31FFFF...       (every ADN record, numbered from 1)
//   ext1-record 1 FFFF...            (every EXT1 record, numbered from 1)
//   crc32 1A2B3C4D                   (CRC-32 of every byte before this line)
std::string FormatBackup(const SimBackup& backup);

// A backup read from its text, or why it is refused: "line 7: ..." for the first line at
// fault (a file cut short, or changed after it was saved, never passes).
struct ParsedBackup {
    std::optional<SimBackup> backup;
    std::string error;
};
ParsedBackup ParseBackup(std::string_view text);

// "2025-01-31T13:05:09Z", and back (nothing for any other text).
std::string UtcTimeText(std::time_t time);
std::optional<std::time_t> ParseUtcTime(std::string_view text);

} // namespace tarvik
