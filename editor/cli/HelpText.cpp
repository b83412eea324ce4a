#include "editor/cli/HelpText.h"

#include "editor/cli/ExitStatus.h"
#include "simlib/include/quenlib.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

void WriteCommandList(std::ostream& out) {
    std::vector<HelpRow> rows;
    rows.push_back({"help", "print the help of a command"});
    for (const CliCommand* command : CliCommands()) {
        rows.push_back({std::string(command->name), command->summary});
    }
    WriteHelpRows(rows, out);
}

void WriteExitStatuses(std::ostream& out) {
    std::vector<HelpRow> rows;
    for (const auto& [status, meaning] : exitStatusMeanings) {
        rows.push_back({(status < 10 ? " " : "") + std::to_string(status), meaning});
    }
    WriteHelpRows(rows, out);
}

} // namespace

void WriteUsage(std::ostream& out) {
    out << "Usage: tarvik-cli COMMAND [ARGUMENT...]\n"
           "  or:  tarvik-cli help [COMMAND]\n"
           "  or:  tarvik-cli --version\n"
           "Edit the program files of a GSM communicator and program its SIM card.\n"
           "A FILE.sim of \"-\" reads standard input and writes standard output. Messages\n"
           "go to standard error and name what failed and why.\n"
           "\nCommands:\n";
    WriteCommandList(out);
    out << "\nExit status:\n";
    WriteExitStatuses(out);
    out << "\nOptions:\n";
    const std::vector<HelpRow> options = {
        {"-h, --help", "print this help, or a command's help after it, and exit"},
        {"    --version", "print the version and the Quenlib version and exit"}};
    WriteHelpRows(options, out);
    out << "\nExamples:\n"
           "  $ tarvik-cli new - --model 0 | tarvik-cli edit - CBRed=1 EDRed=7 > prog.sim\n"
           "  $ tarvik-cli edit --strict prog.sim EDTl1=+39333123 || echo 'not as given'\n"
           "  $ tarvik-cli fields --json prog.sim\n"
           "  $ tarvik-cli write-sim --pin 1234 prog.sim\n"
           "\nRun 'tarvik-cli help COMMAND' for the arguments and options of a command.\n";
}

void WriteCommandHelp(const CliCommand& command, std::ostream& out) {
    out << "Usage: tarvik-cli " << command.name << (command.arguments.empty() ? "" : " ")
        << command.arguments << '\n';
    // The summary as a sentence.
    std::string summary(command.summary);
    if (!summary.empty()) {
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
    }
    out << summary << ".\n";
    if (!command.description.empty()) {
        out << '\n' << command.description << '\n';
    }
    out << "\nOptions:\n";
    std::vector<HelpRow> rows = OptionRows(command.options);
    rows.push_back({"-h, --help", "print this help and exit"});
    WriteHelpRows(rows, out);
}

void WriteVersion(std::ostream& out) {
    out << "tarvik-cli " << TARVIK_VERSION << "\nbuilt with Quenlib " << QUENLIB_VERSION << '\n';
}

} // namespace tarvik::cli
