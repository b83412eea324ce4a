#pragma once

#include "editor/cli/CliCommand.h"

#include <iosfwd>
#include <optional>
#include <string_view>

namespace tarvik::cli {

// Parses the arguments after the command's name by the options it declares: "--name VALUE"
// or "--name=VALUE" for an option that takes a value, "--name" for one that does not, "--"
// ends the options, and "-" is an operand (standard input or output). Checks the number of
// operands. Nothing after writing the reason and the usage to err.
std::optional<ParsedArgs> ParseArgs(const CliCommand& command, CliArgs args, std::ostream& err);

// Writes "tarvik-cli: NAME: reason" and the command's usage line to err; gives kExitUsage.
int UsageError(const CliCommand& command, std::string_view reason, std::ostream& err);

// Whether arg asks for help: "--help" or "-h".
bool IsHelpOption(std::string_view arg);

} // namespace tarvik::cli
