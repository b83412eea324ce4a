#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace tarvik::cli {

// The arguments that follow the command's name.
using CliArgs = std::span<const std::string_view>;

// One command of tarvik-cli. A command writes its results to out only once it has
// succeeded; on failure it writes its messages to err, changes no file and returns its
// exit status (editor/cli/ExitStatus.h).
struct CliCommand {
    std::string_view name;
    // The arguments, as shown after "tarvik-cli <name> " in the usage text.
    std::string_view arguments;
    std::string_view summary;
    int (*run)(CliArgs args, std::ostream& out, std::ostream& err);
};

// Every command, in the order the usage text lists them.
std::span<const CliCommand> CliCommands();

// Runs tarvik-cli with args (without the program name) and gives the exit status.
int RunCli(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// The commands; each lives in its own file.
int RunNewCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunShowCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunRemoteCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunSetCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunFieldsCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunEditCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunReadSimCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunWriteSimCommand(CliArgs args, std::ostream& out, std::ostream& err);
int RunReadersCommand(CliArgs args, std::ostream& out, std::ostream& err);

} // namespace tarvik::cli
