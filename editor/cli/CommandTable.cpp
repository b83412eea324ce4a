#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "program/DocumentFiles.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tarvik::cli {
namespace {

// A new command is a file with its Run function and one row here.
constexpr std::array kCommands{
    CliCommand{"new", "FILE.sim [--model 0|1|2]",
               "write an empty program file (model 2 by default)", RunNewCommand},
    CliCommand{"show", "FILE.sim", "print the unscrambled document, one line per line",
               RunShowCommand},
    CliCommand{"remote", "FILE.sim", "print the remote-programming text", RunRemoteCommand},
    CliCommand{"set", "FILE.sim NAME [NUMBER]",
               "set the entry NAME to NUMBER (no NUMBER removes it) and save", RunSetCommand},
    CliCommand{"fields", "FILE.sim [--model 0|1|2]", "print every field of the form as NAME=VALUE",
               RunFieldsCommand},
    CliCommand{"edit", "FILE.sim [--model 0|1|2] EDIT...",
               "apply NAME=VALUE, SGRamp[r][c]=TEXT or SGTR[r]=TEXT as a user would, and save",
               RunEditCommand},
    CliCommand{"read-sim", "FILE.sim [--model 0|1|2] [--pin PIN] [--reader NAME]",
               "read the SIM card's program into a new program file", RunReadSimCommand},
    CliCommand{
        "write-sim", "FILE.sim [--keep-foreign] [--pin PIN] [--reader NAME]",
        "write the program to the SIM card, clearing its other records unless --keep-foreign",
        RunWriteSimCommand},
    CliCommand{"readers", "", "list the card readers and which hold a card", RunReadersCommand},
};

// The usage text, laid out so that help2man can make the manual page from it: a line of
// the form "  NAME  TEXT" becomes a tagged paragraph.
void WriteUsage(std::ostream& out) {
    out << "Usage: tarvik-cli COMMAND [ARGUMENT...]\n"
           "Edit the program files of a GSM communicator and program its SIM card.\n"
           "\nCommands:\n";
    std::size_t width = 0;
    for (const auto& command : kCommands) {
        width = std::max(width, command.name.size());
    }
    for (const auto& command : kCommands) {
        out << "  " << command.name << std::string(width + 2 - command.name.size(), ' ')
            << command.summary << '\n';
    }
    out << "\nExit status:\n";
    for (const auto& [status, meaning] : kExitStatusMeanings) {
        out << (status < 10 ? "   " : "  ") << status << "  " << meaning << '\n';
    }
    out << "\nOptions:\n"
           "  -h, --help  print this help and exit\n";
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

int Dispatch(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        WriteUsage(err);
        return kExitUsage;
    }
    if (IsHelp(args[0])) {
        WriteUsage(out);
        return kExitOk;
    }
    for (const auto& command : kCommands) {
        if (command.name != args[0]) {
            continue;
        }
        const CliArgs rest = args.subspan(1);
        if (rest.size() == 1 && IsHelp(rest[0])) {
            out << "usage: tarvik-cli " << command.name << ' ' << command.arguments << '\n';
            return kExitOk;
        }
        return command.run(rest, out, err);
    }
    err << "tarvik-cli: unknown command " << args[0] << '\n';
    WriteUsage(err);
    return kExitUsage;
}

} // namespace

std::span<const CliCommand> CliCommands() {
    return kCommands;
}

int RunCli(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    const int status = Dispatch(args, out, err);
    // Output that could not be written (a full disk, say) must not pass for success.
    if (status == kExitOk && !out.flush()) {
        err << kDiskError << '\n';
        return kExitUsage;
    }
    return status;
}

} // namespace tarvik::cli
