#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// One phonebook record as text, as the card library reads and writes it (UTF-16).
struct SimItem {
    std::u16string name;
    std::u16string number;

    bool empty() const { return name.empty() && number.empty(); }
    bool operator==(const SimItem&) const = default;
};

// The bytes of one record as the card holds it.
using RecordBytes = std::vector<std::uint8_t>;

// The record files of the phonebook: EF ADN, and EF EXT1 (0 records when the card has none).
struct PhonebookGeometry {
    int adnRecords = 0;
    int adnRecordLength = 0;
    int ext1Records = 0;
    bool operator==(const PhonebookGeometry&) const = default;
};

// The card library keeps extension records in slots of this many bytes, the length GSM
// 11.11 gives EF EXT1 records.
inline constexpr int kExt1RecordLength = 13;

} // namespace tarvik
