#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"
#include "program/ProgramDocument.h"

#include <string>

namespace tarvik::cli {
namespace {

// Sets or (without NUMBER) removes one entry and saves the file with its model and notes.
int RunSet(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const std::string path(args.operands[0]);
    const auto name = ArgumentText(args.operands[1], "NAME", io.err);
    const auto number = ArgumentText(
        args.operands.size() == 3 ? args.operands[2] : std::string_view(), "NUMBER", io.err);
    if (!name || !number) {
        return exitUsage;
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, path, io)) {
        return exitUsage;
    }
    doc.program.setProgramEntry(*name, *number);
    return SaveOrReport(doc, path, io);
}

} // namespace

const CliCommand setCommand{
    .name = "set",
    .arguments = "FILE.sim NAME [NUMBER]",
    .summary = "set or remove one entry of the program and save",
    .description = "Sets the program entry NAME to NUMBER, or removes it when no NUMBER is given,\n"
                   "as the program text takes it, without the form's checks; the notes and the\n"
                   "model stay. A FILE.sim of \"-\" reads standard input and writes standard\n"
                   "output.",
    .options = {},
    .operands = {.min = 2, .max = 3, .first = {ArgValue::File}, .rest = {ArgValue::Text}},
    .run = RunSet,
};

} // namespace tarvik::cli
