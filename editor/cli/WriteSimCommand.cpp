#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/EachCardOnReaders.h"
#include "editor/cli/EachCardRun.h"
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

constexpr std::array options{
    keepForeignOption, noBackupOption, pinOption, readerOption,  eachCardOption,
    countOption,       varyOption,     logOption, rewriteOption, readersOption,
};

// Writes the file's program to the card. The file is read before the card is touched, and
// the card's phonebook saved before anything is written, unless --no-backup.
int RunWriteSim(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return exitUsage;
    }
    if (args.has("--each-card")) {
        return args.has("--readers") ? RunEachCardOnReaders(*parsed, args, io)
                                     : RunEachCard(*parsed, args, io);
    }
    for (const ArgOption& option :
         {countOption, varyOption, logOption, rewriteOption, readersOption}) {
        if (args.has(option.name)) {
            io.err << "tarvik-cli: write-sim: " << option.name << " goes with --each-card\n";
            return exitUsage;
        }
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, parsed->path, io)) {
        return exitUsage;
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
    const WriteResult result = SimWriteAll(port, window, doc.program.text().lines(),
                                           !parsed->keepForeign, backups ? &*backups : nullptr);
    if (result.backupFailed) {
        io.err << "tarvik-cli: the SIM backup cannot be saved: " << result.backupError
               << "; nothing was written (--no-backup writes without one)\n";
        return exitBackupFailed;
    }
    if (result.backupPath) {
        io.err << "SIM backup: " << result.backupPath->string() << '\n';
    }
    return result.ok() ? exitOk : FailedTransferStatus(exitWriteFailed, io.err);
}

} // namespace

const CliCommand writeSimCommand{
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
        "Records that would stay as they are are not written.\n"
        "\n"
        "--each-card programs card after card: it waits for a card in the reader (one\n"
        "already in is the first), writes it as above, reads it back to check it, and\n"
        "waits for it to be taken out before it waits for the next. It stops after\n"
        "--count cards, after the last row of --vary, or on Ctrl+C once the card in\n"
        "hand is done (Ctrl+C again stops at once). A card that fails does not stop\n"
        "the run; with --vary its row goes to the next card. --vary SITES.csv has a\n"
        "header of edit names as 'edit' takes them (EDTl1, SGTR[3], ...) and one row a\n"
        "card; its edits are typed into the form, an empty cell keeps the field, and a\n"
        "cell the form does not take as given stops the run before any card is written.\n"
        "A card put back in the same run (the same ICCID) is written again only when\n"
        "the question on the terminal is answered y, or with --rewrite.\n"
        "\n"
        "--readers all|NAME,NAME... programs cards on several readers at once, each\n"
        "reader waiting for its own cards; the sites of --vary go in order to whichever\n"
        "card is ready first. A card whose ICCID another reader holds at the time is\n"
        "refused (duplicate-iccid). A reader that goes away ends its card\n"
        "card-removed, and the others go on. Ctrl+C again says how each reader's card\n"
        "was left.\n"
        "\n"
        "Each card adds a line to the job log (RFC 4180 CSV), --log or else\n"
        "$XDG_DATA_HOME/tarvik/jobs.csv, as it ends:\n"
        "time,reader,iccid,program,row,result,changed_records,backup, where result is\n"
        "ok, verify-failed, write-error, insufficient-space, sim-not-found,\n"
        "pin-refused, card-blocked, card-removed or duplicate-iccid. The status is 0\n"
        "when every card ended ok, 10 otherwise.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunWriteSim,
};

} // namespace tarvik::cli
