#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/sim/BackupStore.h"

#include <ostream>

namespace tarvik::cli {
namespace {

// The SIM backups, newest first, one a line; files of the folder that are no backup go to
// standard error with the reason.
int RunBackups(const CliCommand&, const ParsedArgs&, CliIo& io) {
    const BackupStore store(BackupStore::defaultFolder());
    const BackupStore::Listing listing = store.list();
    if (!listing.error.empty()) {
        ReportProblem(store.folder().string(), listing.error, io.err);
        return exitUsage;
    }
    for (const auto& problem : listing.problems) {
        ReportProblem(problem.path.string(), problem.error, io.err);
    }
    if (listing.backups.empty()) {
        io.err << "tarvik-cli: no SIM backups in " << store.folder().string() << '\n';
    }
    for (const auto& backup : listing.backups) {
        io.out << LocalTimeText(backup.saved) << "  " << backup.iccid.value_or("unknown") << "  "
               << backup.usedRecords << (backup.usedRecords == 1 ? " record  " : " records  ")
               << backup.path.string() << '\n';
    }
    return exitOk;
}

} // namespace

const CliCommand backupsCommand{
    .name = "backups",
    .arguments = "",
    .summary = "list the SIM backups, newest first",
    .description = "Prints one line a backup that a write or a restore saved before it changed a\n"
                   "card: the local date and time, the card's ICCID, how many phonebook records\n"
                   "held something, and the file, which 'restore' takes. The backups live in\n"
                   "$XDG_DATA_HOME/tarvik/backups (~/.local/share/tarvik/backups).",
    .options = {},
    .operands = {},
    .run = RunBackups,
};

} // namespace tarvik::cli
