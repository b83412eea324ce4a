#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/SimTransfer.h"
#include "program/ProgramDocument.h"

#include <array>

namespace tarvik::cli {
namespace {

constexpr std::array kOptions{
    CliOption{"--keep-foreign", CliValue::None, "",
              "keep the card's records that are not the program's"},
    kPinOption,
    kReaderOption,
};

// Writes the file's program to the card. The file is read before the card is touched.
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
    StreamTransferWindow window(io.err, io.errIsTerminal);
    const WriteResult result =
        SimWriteAll(window, doc.program.text().lines(), !parsed->keepForeign);
    return result.ok() ? kExitOk : kExitWriteFailed;
}

} // namespace

const CliCommand kWriteSimCommand{
    .name = "write-sim",
    .arguments = "[OPTION...] FILE.sim",
    .summary = "write the program to the SIM card",
    .description = "Writes the program file's lines to the card's phonebook, one record a line,\n"
                   "and clears the card's other records unless --keep-foreign is given. A\n"
                   "FILE.sim of \"-\" reads standard input. The progress and every message go\n"
                   "to standard error.",
    .options = kOptions,
    .operands = {.min = 1, .max = 1, .first = CliValue::File},
    .run = RunWriteSim,
};

} // namespace tarvik::cli
