#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimTransfer.h"
#include "program/ProgramDocument.h"

#include <array>
#include <optional>

namespace tarvik::cli {
namespace {

constexpr std::array kOptions{
    kKeepForeignOption,
    kNoBackupOption,
    kPinOption,
    kReaderOption,
};

// Writes the file's program to the card. The file is read before the card is touched, and
// the card's phonebook saved before anything is written, unless --no-backup.
int RunWriteSim(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return kExitUsage;
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, parsed->path, io)) {
        return kExitUsage;
    }
    SimSession session;
    if (const int status = session.Open(*parsed, io.err); status != kExitOk) {
        return status;
    }
    std::optional<BackupStore> backups;
    if (!parsed->noBackup) {
        backups.emplace(BackupStore::DefaultFolder());
    }
    QuenlibCardPort port;
    StreamTransferWindow window(io.err, io.errIsTerminal);
    const WriteResult result = SimWriteAll(port, window, doc.program.text().lines(),
                                           !parsed->keepForeign, backups ? &*backups : nullptr);
    if (result.backupFailed) {
        io.err << "tarvik-cli: the SIM backup cannot be saved: " << result.backupError
               << "; nothing was written (--no-backup writes without one)\n";
        return kExitBackupFailed;
    }
    if (result.backupPath) {
        io.err << "SIM backup: " << result.backupPath->string() << '\n';
    }
    return result.ok() ? kExitOk : kExitWriteFailed;
}

} // namespace

const CliCommand kWriteSimCommand{
    .name = "write-sim",
    .arguments = "[OPTION...] FILE.sim",
    .summary = "write the program to the SIM card",
    .description =
        "Writes the program file's lines to the card's phonebook, one record a line,\n"
        "and clears the card's other records unless --keep-foreign is given. A FILE.sim\n"
        "of \"-\" reads standard input. The progress and every message go to standard\n"
        "error.\n"
        "\n"
        "Before the first record is written, the card's whole phonebook (every record\n"
        "of EF ADN and EF EXT1, and the ICCID) is saved as a backup in\n"
        "$XDG_DATA_HOME/tarvik/backups (see 'backups' and 'restore'); when it cannot be\n"
        "saved, nothing is written and the status is 8. --no-backup writes without one.\n"
        "Records that would stay as they are are not written.",
    .options = kOptions,
    .operands = {.min = 1, .max = 1, .first = CliValue::File},
    .run = RunWriteSim,
};

} // namespace tarvik::cli
