#pragma once

#include "editor/sim/BackupStore.h"
#include "editor/sim/CardPort.h"
#include "editor/sim/SimBackup.h"
#include "editor/sim/TransferWindow.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tarvik {

enum class RestoreOutcome {
    Restored,     // every record written and read back equal
    Refused,      // the backup does not fit this card: the card was not touched
    OtherCard,    // the backup was taken of another card (ICCID): the card was not touched
    ReadFailed,   // the card could not be read before the restore: nothing written
    BackupFailed, // the backup of the card as it was could not be saved: nothing written
    WriteFailed,  // a record could not be written
    VerifyFailed, // the records read back differ from the backup
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::ReadFailed;
    // Why it did not end in Restored, in words for a person.
    std::string reason;
    // The backup of the card as it was before the restore.
    std::optional<std::filesystem::path> backupPath;
    bool ok() const { return outcome == RestoreOutcome::Restored; }
};

struct RestoreOptions {
    // Restore a backup of another card (another ICCID) too.
    bool anyCard = false;
    // Where the card as it is goes before it is changed; nullptr saves nothing.
    const BackupStore* backups = nullptr;
};

// Writes every EF ADN and EF EXT1 record of the backup back to the card, byte for byte, then
// selects the phonebook afresh and reads every record back to compare. A backup whose
// record counts or lengths differ from the card's is refused, as is one of another card
// unless options.anyCard; then nothing is sent that changes the card. Progress and errors
// show in the window as in a write ("Write Error").
RestoreResult SimRestore(CardPort& port, TransferWindow& window, const SimBackup& backup,
                         const RestoreOptions& options);

// Why a backup does not fit a card of this geometry; nothing when it does.
std::optional<std::string> GeometryMismatch(const SimBackup& backup, const PhonebookGeometry& card);

} // namespace tarvik
