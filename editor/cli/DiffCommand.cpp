#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/form/DeviceModels.h"
#include "editor/sim/PhonebookRead.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/WritePreview.h"
#include "program/LanguageTable.h"
#include "program/ProgramDocument.h"

#include <array>
#include <ostream>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    keepForeignOption,
    pinOption,
    readerOption,
};

// Compares the card with what a write of the file would leave on it.
int RunDiff(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const auto parsed = ReadSimArgs(args, io.err);
    if (!parsed) {
        return exitUsage;
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, parsed->path, io)) {
        return exitUsage;
    }
    SimSession session;
    if (const int status = session.open(*parsed, io.err); status != exitOk) {
        return status;
    }
    QuenlibCardPort port;
    StreamTransferWindow window(io.err, io.errIsTerminal);
    const PhonebookRead read = ReadPhonebookForPreview(port, window);
    if (!read.phonebook) {
        return FailedTransferStatus(exitReadFailed, io.err);
    }
    const WritePreview preview =
        PreviewWrite(read.phonebook->items, doc.program.text().lines(), !parsed->keepForeign);
    const LanguageTable english;
    for (const EntryChange& change : preview.changes) {
        io.out << ChangeLine(change, english) << '\n';
    }
    io.err << PreviewSummary(preview, english) << '\n';
    return preview.cardChanges ? exitDifferent : exitOk;
}

} // namespace

const CliCommand diffCommand{
    .name = "diff",
    .arguments = "[OPTION...] FILE.sim",
    .summary = "show what writing the program would change on the SIM card",
    .description =
        "Reads the card and compares it with what 'write-sim' of the file (with the\n"
        "same --keep-foreign) would leave on it. Prints one line a difference: an entry\n"
        "added, changed (old and new number), moved to another record or removed, and\n"
        "each contact that is no part of the program and that the write would delete.\n"
        "The summary goes to standard error. The status is 0 when a write would change\n"
        "nothing, 1 when it would change something. Nothing is written to the card.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunDiff,
};

} // namespace tarvik::cli
