#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"

#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

// The remote-programming text, blocks separated by an empty line.
int RunRemote(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, std::string(args.operands[0]), io)) {
        return exitUsage;
    }
    WriteLines(doc.program.remoteText(), io.out);
    return exitOk;
}

} // namespace

const CliCommand remoteCommand{
    .name = "remote",
    .arguments = "FILE.sim",
    .summary = "print the remote-programming text",
    .description = "Prints the program's entries as the text messages that program the device\n"
                   "remotely, one block a message, blocks separated by an empty line.",
    .options = {},
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunRemote,
};

} // namespace tarvik::cli
