#include "editor/cli/CommandLine.h"

#include "editor/cli/ExitStatus.h"

#include <ostream>

namespace tarvik::cli {

int UsageError(const CliCommand& command, std::string_view reason, std::ostream& err) {
    err << "tarvik-cli: " << command.name << ": " << reason << "\nUsage: tarvik-cli "
        << command.name << (command.arguments.empty() ? "" : " ") << command.arguments << '\n';
    return exitUsage;
}

std::optional<ParsedArgs> ParseCommandArgs(const CliCommand& command, CliArgs args,
                                           std::ostream& err) {
    ArgParse parse = ParseArgs(command.options, command.operands, args);
    if (!parse.ok()) {
        UsageError(command, parse.error, err);
        return std::nullopt;
    }
    return std::move(parse.args);
}

} // namespace tarvik::cli
