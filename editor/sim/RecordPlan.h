#pragma once

#include "editor/sim/CardRecords.h"

#include <span>
#include <string>
#include <vector>

namespace tarvik {

// The program moves between the card's phonebook and the program text in one pass: one
// record a line, NAME "=" NUMBER. Record index 97 always holds the program's "RFT" entry
// (or nothing) and index 98 stays blank, because the devices read them so. At most 256
// records are used; a phonebook of fewer than 8 records is too small for any program.
inline constexpr int kMinimumSimRecords = 8;
inline constexpr int kMaximumSimRecords = 256;
inline constexpr int kRftRecordIndex = 97;
inline constexpr int kFreeRecordIndex = 98;

// One record the write sends: name and number as they go to the card.
struct PlannedWrite {
    int index = 0;
    SimItem item;
    bool operator==(const PlannedWrite&) const = default;
};

// What writing a program does to a phonebook.
struct RecordPlan {
    // Every record the write may use (index 0 to n-1) as it holds them afterwards.
    std::vector<SimItem> after;
    // The writes in the order they are sent: each record's final text once, by index. A
    // record that belongs to someone else (keep mode) gets none, nor does an empty record
    // that stays empty. On a card of 97 records or fewer the last write addresses index
    // 97, which the card does not have: the write then ends in an error, as the devices
    // need the "RFT" record there.
    std::vector<PlannedWrite> writes;
    // Program lines that found no record.
    int linesLeftOver = 0;
};

// The plan for writing lines (the program text, 8-bit) over a phonebook whose records
// 0 to n-1 hold `card` (n = card.size(), at most kMaximumSimRecords). Names are upper-cased
// (a to z), names and numbers cut to 64 characters, blanks and control characters around a
// line dropped; a line without "=" is a name alone. The "RFT" line (in any case) goes to
// index 97 wherever it stands, its own place is left blank; lines that reach index 97 or
// 98 go on from 99. With deleteAll every other record is blanked; without it, records
// that belong to someone else stay where they are and the lines go around them.
RecordPlan PlanRecords(std::span<const SimItem> card, std::span<const std::string> lines,
                       bool deleteAll);

// Whether a record belongs to someone else: it has a name and a number, and its name is
// neither a program keyword nor one of the names the lines are written under (compared
// without regard to case).
bool IsForeignRecord(const SimItem& record, std::span<const std::string> lines);

} // namespace tarvik
