#pragma once

#include "editor/cli/CliCommand.h"

#include <iosfwd>
#include <optional>
#include <string_view>

namespace tarvik::cli {

// Parses the arguments after the command's name by the options and operands it declares.
// Nothing after writing the reason and the usage to err.
std::optional<ParsedArgs> ParseCommandArgs(const CliCommand& command, CliArgs args,
                                           std::ostream& err);

// Writes "tarvik-cli: NAME: reason" and the command's usage line to err; gives exitUsage.
int UsageError(const CliCommand& command, std::string_view reason, std::ostream& err);

} // namespace tarvik::cli
