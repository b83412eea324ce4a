#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimRestore.h"

#include <array>
#include <optional>
#include <ostream>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--any-card", ArgValue::None, "",
              "restore a backup of another card (another ICCID) too"},
    ArgOption{"--no-backup", ArgValue::None, "",
              "restore without saving the card's phonebook first"},
    pinOption,
    readerOption,
};

// Writes a backup back to the card and reads it back to compare. The file is checked
// before the card is touched.
int RunRestore(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return exitUsage;
    }
    const std::optional<std::string> text = ReadInput(parsed->path, io);
    if (!text) {
        return exitUsage;
    }
    const ParsedBackup loaded = ParseBackup(*text);
    if (!loaded.backup) {
        ReportProblem(InputName(parsed->path), loaded.error, io.err);
        return exitRestoreRefused;
    }
    SimSession session;
    if (const int status = session.open(*parsed, io.err); status != exitOk) {
        return status;
    }
    std::optional<BackupStore> backups;
    if (!parsed->noBackup) {
        backups.emplace(BackupStore::defaultFolder());
    }
    QuenlibCardPort port;
    StreamTransferWindow window(io.err, io.errIsTerminal);
    const RestoreResult result =
        SimRestore(port, window, *loaded.backup, {parsed->anyCard, backups ? &*backups : nullptr});
    if (result.backupPath) {
        io.err << "SIM backup: " << result.backupPath->string() << '\n';
    }
    switch (result.outcome) {
    case RestoreOutcome::Restored:
        return exitOk;
    case RestoreOutcome::Refused:
        io.err << "tarvik-cli: restore refused: " << result.reason << "; the SIM was not changed\n";
        return exitRestoreRefused;
    case RestoreOutcome::OtherCard:
        io.err << "tarvik-cli: restore refused: " << result.reason
               << "; the SIM was not changed (--any-card restores it all the same)\n";
        return exitRestoreRefused;
    case RestoreOutcome::ReadFailed:
        return exitReadFailed;
    case RestoreOutcome::BackupFailed:
        io.err << "tarvik-cli: the SIM backup cannot be saved: " << result.reason
               << "; nothing was written (--no-backup restores without one)\n";
        return exitBackupFailed;
    case RestoreOutcome::WriteFailed:
    case RestoreOutcome::VerifyFailed:
        break;
    }
    io.err << "tarvik-cli: restore failed: " << result.reason << '\n';
    return exitWriteFailed;
}

} // namespace

const CliCommand restoreCommand{
    .name = "restore",
    .arguments = "[OPTION...] BACKUP",
    .summary = "write a SIM backup back to the card, byte for byte",
    .description =
        "Writes every EF ADN and EF EXT1 record of the backup (see 'backups') back to\n"
        "the card, then reads them back and ends with 0 only when all match. A backup\n"
        "that is cut short or was changed (the line at fault is named), or whose record\n"
        "counts or lengths differ from the card's, is refused with status 9 before\n"
        "anything is written; so is the backup of another card (another ICCID) unless\n"
        "--any-card. The card as it is goes to a backup of its own first, unless --no-\n"
        "backup.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunRestore,
};

} // namespace tarvik::cli
