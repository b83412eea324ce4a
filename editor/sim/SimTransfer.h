#pragma once

#include "editor/sim/TransferWindow.h"
#include "program/ProgramText.h"

#include <span>
#include <string>

namespace tarvik {

// The program moves between the card's phonebook and the program text in one pass: one
// record a line, NAME "=" NUMBER. Record index 97 always holds the program's "RFT" entry
// (or nothing) and index 98 stays blank, because the devices read them so. At most 256
// records are used; a phonebook of fewer than 8 records is too small for any program.

inline constexpr int kMinimumSimRecords = 8;
inline constexpr int kMaximumSimRecords = 256;
inline constexpr int kRftRecordIndex = 97;
inline constexpr int kFreeRecordIndex = 98;

// Reads every record into a list of lines and gives the program exactly those lines,
// skipping empty records. The program is replaced only when the whole phonebook was read;
// otherwise the caption shows "Read Error" for 2 s with a beep, the program stays as it
// was and the result is false. Text that Windows-1252 cannot hold refuses the read the
// same way, since a program with characters replaced would be written back wrong.
bool SimReadAll(TransferWindow& window, ProgramText& program);

// What a write did.
struct WriteResult {
    bool writeError = false;    // "Write Error" was shown: a record or the phonebook failed
    bool linesLeftOver = false; // "Insufficient SIM space" was shown: lines did not fit
    bool ok() const { return !writeError && !linesLeftOver; }
};

// Writes the lines to the records in order, the "RFT" entry at index 97 and index 98
// blank. With deleteAll every record is rewritten and those after the program blanked;
// without it, records that belong to someone else (a name and a number, a name that is no
// program keyword and no line's name) stay where they are and the lines go around them.
WriteResult SimWriteAll(TransferWindow& window, std::span<const std::string> lines, bool deleteAll);

} // namespace tarvik
