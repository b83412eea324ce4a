#pragma once

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

// What an option's value or an operand is: what completion offers for it, and what the
// parsing of the arguments accepts.
enum class CliValue {
    None,   // nothing stands there (an option that takes no value, operands past the last)
    Text,   // any text
    File,   // a file name, "-" for standard input or output
    Model,  // a device model index: 0, 1 or 2
    Reader, // a card reader's name
    Edit,   // an edit of the form, NAME=VALUE
    Port,   // a serial port where a modem may be
    Count,  // a whole number, 0 or more
};

// One option of a command, as its help lists it and its arguments are parsed.
struct CliOption {
    std::string_view name;           // "--model"
    CliValue value = CliValue::None; // what its value is; None when it takes none
    std::string_view valueName;      // how the help shows the value: "0|1|2"
    std::string_view help;           // one line
};

// How many operands (arguments that are not options) a command takes, and what they are.
struct CliOperands {
    static constexpr int kUnlimited = -1;
    int min = 0;
    int max = 0; // or kUnlimited
    CliValue first = CliValue::None;
    CliValue rest = CliValue::None;
};

// The arguments of a command, parsed by its declared options: operands in order, and each
// option given with its value (empty for an option that takes none).
struct ParsedArgs {
    std::vector<std::string_view> operands;
    std::vector<std::pair<std::string_view, std::string_view>> options;

    bool has(std::string_view name) const;
    // The value given last for the option.
    std::optional<std::string_view> value(std::string_view name) const;
};

// One command of tarvik-cli. Each command declares itself in its own file, beside its
// code (kNewCommand in NewCommand.cpp), and has one row in the table of CommandTable.cpp.
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
    std::span<const CliOption> options;
    CliOperands operands;
    int (*run)(const CliCommand& self, const ParsedArgs& args, CliIo& io);
};

// Every command, in the order the usage text lists them.
std::span<const CliCommand* const> CliCommands();

// The command named name; nothing when there is none.
const CliCommand* FindCommand(std::string_view name);

// Runs tarvik-cli with args (without the program name) and gives the exit status.
int RunCli(std::span<const std::string_view> args, CliIo& io);

// The commands; each lives in its own file.
extern const CliCommand kNewCommand;
extern const CliCommand kShowCommand;
extern const CliCommand kRemoteCommand;
extern const CliCommand kSetCommand;
extern const CliCommand kFieldsCommand;
extern const CliCommand kEditCommand;
extern const CliCommand kReadSimCommand;
extern const CliCommand kWriteSimCommand;
extern const CliCommand kReadersCommand;
extern const CliCommand kCardCommand;
extern const CliCommand kDiffCommand;
extern const CliCommand kRestoreCommand;
extern const CliCommand kBackupsCommand;
extern const CliCommand kModemsCommand;
extern const CliCommand kSendRemoteCommand;
extern const CliCommand kSheetCommand;

} // namespace tarvik::cli
