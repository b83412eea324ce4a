#include "editor/cli/CliCommand.h"
#include "editor/cli/CommandLine.h"
#include "editor/cli/Completion.h"
#include "editor/cli/ExitStatus.h"
#include "editor/cli/HelpText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

namespace tarvik::cli {
namespace {

// A new command is a file that declares its CliCommand, and one row here.
constexpr std::array commands{
    &newCommand,    &showCommand,    &remoteCommand,     &setCommand,
    &fieldsCommand, &editCommand,    &readSimCommand,    &writeSimCommand,
    &diffCommand,   &backupsCommand, &restoreCommand,    &readersCommand,
    &cardCommand,   &modemsCommand,  &sendRemoteCommand, &sheetCommand,
};

// The commands of this build: the table without those left out.
const std::vector<const CliCommand*>& BuiltCommands() {
    static const std::vector<const CliCommand*> built = [] {
        std::vector<const CliCommand*> in;
        std::copy_if(commands.begin(), commands.end(), std::back_inserter(in),
                     [](const CliCommand* c) { return c->leftOutBecause.empty(); });
        return in;
    }();
    return built;
}

int RefuseLeftOut(const CliCommand& command, CliIo& io) {
    io.err << "tarvik-cli: " << command.name
           << ": not in this build of tarvik-cli: " << command.leftOutBecause << '\n';
    return exitUsage;
}

// "tarvik-cli help [COMMAND]".
int RunHelp(CliArgs args, CliIo& io) {
    if (args.empty()) {
        WriteUsage(io.out);
        return exitOk;
    }
    const CliCommand* command = args.size() == 1 ? FindCommand(args[0]) : nullptr;
    if (command != nullptr && !command->leftOutBecause.empty()) {
        return RefuseLeftOut(*command, io);
    }
    if (command == nullptr) {
        io.err << "tarvik-cli: help: no command '" << args[0]
               << "'\nUsage: tarvik-cli help [COMMAND]\n";
        return exitUsage;
    }
    WriteCommandHelp(*command, io.out);
    return exitOk;
}

int Dispatch(CliArgs args, CliIo& io) {
    if (args.empty()) {
        io.err << "tarvik-cli: no command given\n";
        WriteUsage(io.err);
        return exitUsage;
    }
    const std::string_view first = args[0];
    const CliArgs rest = args.subspan(1);
    if (IsHelpOption(first)) {
        WriteUsage(io.out);
        return exitOk;
    }
    if (first == "--version") {
        WriteVersion(io.out);
        return exitOk;
    }
    if (first == "help") {
        return RunHelp(rest, io);
    }
    if (first == completionCommand) {
        return RunCompletion(rest, io);
    }
    const CliCommand* command = FindCommand(first);
    if (command == nullptr) {
        io.err << "tarvik-cli: no command '" << first
               << "'\nRun 'tarvik-cli --help' for the list of commands.\n";
        return exitUsage;
    }
    if (!command->leftOutBecause.empty()) {
        return RefuseLeftOut(*command, io);
    }
    if (AsksForHelp(rest)) {
        WriteCommandHelp(*command, io.out);
        return exitOk;
    }
    const auto parsed = ParseCommandArgs(*command, rest, io.err);
    if (!parsed) {
        return exitUsage;
    }
    return command->run(*command, *parsed, io);
}

} // namespace

std::span<const CliCommand* const> CliCommands() {
    return BuiltCommands();
}

const CliCommand* FindCommand(std::string_view name) {
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [name](const CliCommand* c) { return c->name == name; });
    return found == commands.end() ? nullptr : *found;
}

int RunCli(std::span<const std::string_view> args, CliIo& io) {
    const int status = Dispatch(args, io);
    // Output that could not be written (a full disk, a closed pipe) must not pass for
    // success. The system's reason is known only when this flush is what failed.
    const bool wasGood = io.out.good();
    errno = 0;
    if (!io.out.flush() || !wasGood) {
        const int error = errno;
        io.err << "tarvik-cli: standard output: "
               << (wasGood && error != 0 ? std::strerror(error) : "write error") << '\n';
        return status == exitOk ? exitUsage : status;
    }
    return status;
}

} // namespace tarvik::cli
