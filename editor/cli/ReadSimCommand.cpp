#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/core/FormatCount.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "program/ProgramDocument.h"

#include <array>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--model", ArgValue::Choice, "0|1|2", "the device model of the file (2 by default)"},
    pinOption,
    readerOption,
};

// Reads the card's program into a new program file; the file is written only when the
// whole card was read.
int RunReadSim(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return exitUsage;
    }
    SimSession session;
    if (const int status = session.open(*parsed, io.err); status != exitOk) {
        return status;
    }
    ProgramDocument doc{parsed->model.value_or(kDefaultModelIndex)};
    StreamTransferWindow window(io.err, io.errIsTerminal);
    QuenlibCardPort port;
    const ReadResult read = SimReadAll(port, window, doc.program.text());
    if (!read.ok) {
        return FailedTransferStatus(exitReadFailed, io.err);
    }
    if (read.recordsLeftOut > 0) {
        io.err << FormatCount(kRecordsLeftOutFormat, read.recordsLeftOut) << '\n';
    }
    doc.program.buildRemoteText();
    return SaveOrReport(doc, parsed->path, io);
}

} // namespace

const CliCommand readSimCommand{
    .name = "read-sim",
    .arguments = "[OPTION...] FILE.sim",
    .summary = "read the SIM card's program into a new program file",
    .description = "Reads every record of the card's phonebook and writes the program file, only\n"
                   "once the whole card was read. Records whose text the program file cannot hold\n"
                   "(a name in Greek letters, say) are no part of a program: they are left out,\n"
                   "and how many is said. A FILE.sim of \"-\" writes the file to standard output.\n"
                   "The progress and every message go to standard error.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunReadSim,
};

} // namespace tarvik::cli
