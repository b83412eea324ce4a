#pragma once

#include "editor/sim/BackupStore.h"
#include "editor/sim/CardPort.h"
#include "editor/sim/RecordPlan.h"
#include "editor/sim/TransferWindow.h"
#include "program/ProgramText.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace tarvik {

// What a read did.
struct ReadResult {
    bool ok = false;
    // Records left out of the program because its text cannot hold them (a name in Greek
    // letters, say): they are no part of any program.
    int recordsLeftOut = 0;
};

// Reads every record into a list of lines and gives the program exactly those lines,
// skipping empty records and records whose text Windows-1252 cannot hold (counted in the
// result). The program is replaced only when the whole phonebook was read; otherwise the
// caption shows "Read Error" for 2 s with a beep, the program stays as it was and the
// result is not ok.
ReadResult SimReadAll(CardPort& port, TransferWindow& window, ProgramText& program);

// What a write did.
struct WriteResult {
    bool writeError = false;    // "Write Error" was shown: a record or the phonebook failed
    bool linesLeftOver = false; // "Insufficient SIM space" was shown: lines did not fit
    // The backup could not be saved, so nothing was written; backupError says why.
    bool backupFailed = false;
    std::string backupError;
    // The backup the write saved before it changed the card.
    std::optional<std::filesystem::path> backupPath;
    // Records the write changed on the card (records already holding their text not
    // counted), and what it wrote to them.
    int changedRecords = 0;
    std::vector<PlannedWrite> changed;
    bool ok() const { return !writeError && !linesLeftOver && !backupFailed; }
};

// Writes the lines as PlanRecords plans them: every record is read first, then (with
// `backups`) the whole phonebook is saved there, and only then are the planned records
// written, each one's final text once; the card library sends nothing for a record that
// stays as it is. Extension records follow with the flush. Without `backups` nothing is
// saved. Errors show in the window's caption: "Write Error" (a record could not be read or
// written), "Insufficient SIM space" (lines left over, or a phonebook under 8 records).
WriteResult SimWriteAll(CardPort& port, TransferWindow& window, std::span<const std::string> lines,
                        bool deleteAll, const BackupStore* backups);

} // namespace tarvik
