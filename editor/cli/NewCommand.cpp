#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"
#include "program/ProgramDocument.h"

#include <array>
#include <string>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--model", ArgValue::Choice, "0|1|2", "the device model (2 when not given)"},
};

int RunNew(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    ProgramDocument doc{GivenModel(args).value_or(kDefaultModelIndex)};
    return SaveOrReport(doc, std::string(args.operands[0]), io);
}

} // namespace

const CliCommand newCommand{
    .name = "new",
    .arguments = "[--model 0|1|2] FILE.sim",
    .summary = "write an empty program file",
    .description = "Writes a program file with no notes and no program lines, for the device\n"
                   "model given (the third, 2, when none is). An existing file is replaced.",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunNew,
};

} // namespace tarvik::cli
