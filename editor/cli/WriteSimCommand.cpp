#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/SimTransfer.h"
#include "program/ProgramDocument.h"

#include <ostream>

namespace tarvik::cli {

// tarvik-cli write-sim FILE.sim [--keep-foreign] [--pin PIN] [--reader NAME]: writes the
// file's program to the card, clearing the card's other records unless --keep-foreign.
// The file is read before the card is touched.
int RunWriteSimCommand(CliArgs args, std::ostream&, std::ostream& err) {
    const auto parsed = ParseSimArgs(CommandNamed("write-sim"), args, {.keepForeign = true}, err);
    if (!parsed) {
        return kExitUsage;
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, parsed->path, err)) {
        return kExitUsage;
    }
    SimSession session;
    if (const int status = session.Open(*parsed, err); status != kExitOk) {
        return status;
    }
    StreamTransferWindow window(err, IsTerminal(err));
    const WriteResult result =
        SimWriteAll(window, doc.program.text().lines(), !parsed->keepForeign);
    return result.ok() ? kExitOk : kExitWriteFailed;
}

} // namespace tarvik::cli
