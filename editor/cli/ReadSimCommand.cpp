#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/SimTransfer.h"
#include "program/ProgramDocument.h"

#include <ostream>

namespace tarvik::cli {

// tarvik-cli read-sim FILE.sim [--model 0|1|2] [--pin PIN] [--reader NAME]: reads the
// card's program into a new program file of the model (the third by default). The file is
// written only when the whole card was read.
int RunReadSimCommand(CliArgs args, std::ostream&, std::ostream& err) {
    const auto parsed = ParseSimArgs(CommandNamed("read-sim"), args, {.model = true}, err);
    if (!parsed) {
        return kExitUsage;
    }
    SimSession session;
    if (const int status = session.Open(*parsed, err); status != kExitOk) {
        return status;
    }
    ProgramDocument doc{parsed->model.value_or(kDefaultModelIndex)};
    StreamTransferWindow window(err, IsTerminal(err));
    if (!SimReadAll(window, doc.program.text())) {
        return kExitReadFailed;
    }
    doc.program.BuildRemoteText();
    return SaveOrReport(doc, parsed->path, err);
}

} // namespace tarvik::cli
