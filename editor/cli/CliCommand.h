#pragma once

#include "base/CommandLine.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvik::cli {

// The arguments that follow the command's name.
using CliArgs = std::span<const std::string_view>;

// The streams of one run: standard input for "-" as the file to read, standard output for
// results and for "-" as the file to write, standard error for every message.
struct CliIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false; // a terminal sees progress rewritten on one line
};

// One command of tarvik-cli. Each command declares itself in its own file, beside its
// code (newCommand in NewCommand.cpp), and has one row in the table of CommandTable.cpp.
// A command writes its results to out only once it has succeeded; on failure it writes
// its messages to err, changes no file and returns its exit status (ExitStatus.h).
struct CliCommand {
    std::string_view name;
    // The arguments, as the usage shows them after "tarvik-cli NAME ".
    std::string_view arguments;
    // One line for the list of commands.
    std::string_view summary;
    // The help's text: paragraphs separated by an empty line.
    std::string_view description;
    std::span<const ArgOption> options;
    ArgOperands operands;
    int (*run)(const CliCommand& self, const ParsedArgs& args, CliIo& io);
    // Why this build leaves the command out ("it needs Qt's PDF writer"); empty when it is
    // in. A command left out is not listed, and says why when it is asked for.
    std::string_view leftOutBecause{};
};

// Every command of this build, in the order the usage text lists them.
std::span<const CliCommand* const> CliCommands();

// The command named name, left out of this build or not; nothing when there is none.
const CliCommand* FindCommand(std::string_view name);

// Runs tarvik-cli with args (without the program name) and gives the exit status.
int RunCli(std::span<const std::string_view> args, CliIo& io);

// The commands; each lives in its own file.
extern const CliCommand newCommand;
extern const CliCommand showCommand;
extern const CliCommand remoteCommand;
extern const CliCommand setCommand;
extern const CliCommand fieldsCommand;
extern const CliCommand editCommand;
extern const CliCommand readSimCommand;
extern const CliCommand writeSimCommand;
extern const CliCommand readersCommand;
extern const CliCommand cardCommand;
extern const CliCommand diffCommand;
extern const CliCommand restoreCommand;
extern const CliCommand backupsCommand;
extern const CliCommand modemsCommand;
extern const CliCommand sendRemoteCommand;
extern const CliCommand sheetCommand;

} // namespace tarvik::cli
