#pragma once

#include <algorithm>
#include <array>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

// One way to read a command line for every program: each program describes its options and
// operands in one table, and that table drives the parsing, the help's option list (and so
// the manual page, which help2man makes from the help) and the shell's completion.

// What stands as an option's value or an operand: what the parsing accepts there, and what
// completion offers.
enum class ArgValue {
    None,   // nothing stands there (an option that takes no value, operands past the last)
    Text,   // any text, empty too
    Name,   // text that is not empty: a host, a card reader, a serial port
    File,   // a file name, not empty; "-" is standard input or output
    Count,  // a whole number, 0 or more
    Choice, // one of the words the value's name lists: "cmt|cmti"
};

// The words completion offers for a value that only the running program knows (the readers
// present, the serial ports); nullptr when the value's kind says enough.
using ArgCandidates = std::vector<std::string> (*)();

// One option, as the help lists it and the parsing reads it.
struct ArgOption {
    std::string_view name{};         // "--port"
    ArgValue value = ArgValue::None; // None: it takes no value
    std::string_view valueName{};    // how the help shows the value: "PORT", "0|1|2"
    std::string_view help{};         // one line, or more separated by '\n'
    ArgCandidates candidates = nullptr;
};

// What one operand (an argument that is not an option) is.
struct ArgOperand {
    ArgValue value = ArgValue::None;
    ArgCandidates candidates = nullptr;
};

// How many operands a program or command takes, and what they are.
struct ArgOperands {
    static constexpr int unlimited = -1;
    int min = 0;
    int max = 0; // or unlimited
    ArgOperand first{};
    ArgOperand rest{};
};

// The arguments as parsed: operands in order, and each option given with its value (empty
// for an option that takes none), in the order given.
struct ParsedArgs {
    std::vector<std::string_view> operands;
    std::vector<std::pair<std::string_view, std::string_view>> options;

    bool has(std::string_view name) const;
    // The value given last for the option.
    std::optional<std::string_view> value(std::string_view name) const;
};

// The parsed arguments, or why they were refused: the reason, as the program prints it after
// its name ("unknown option '--x'", "--port needs a value (PORT)", "missing operand").
struct ArgParse {
    ParsedArgs args;
    std::string error; // empty: the arguments are good

    bool ok() const { return error.empty(); }
};

// Reads args by the options: "--name VALUE" or "--name=VALUE" for an option that takes a
// value, "--name" for one that does not; "--" ends the options, and "-" is an operand.
// Values are checked by their kind, the number of operands by operands.
ArgParse ParseArgs(std::span<const ArgOption> options, const ArgOperands& operands,
                   std::span<const std::string_view> args);

// The option called name in options; nullptr when there is none.
const ArgOption* FindArgOption(std::span<const ArgOption> options, std::string_view name);

// Whether arg asks for help: "--help" or "-h".
bool IsHelpOption(std::string_view arg);

// Whether args ask for help before any "--".
bool AsksForHelp(std::span<const std::string_view> args);

// The words a Choice value's name lists: "cmt|cmti" gives cmt and cmti.
std::vector<std::string_view> ChoiceWords(std::string_view valueName);

// One line of a help's two-column list: the tag ("--port PORT") and its text, whose further
// lines (after '\n') start in the text's column.
struct HelpRow {
    std::string tag;
    std::string_view text;
};

// The rows of options, each tagged with its name and its value's name.
std::vector<HelpRow> OptionRows(std::span<const ArgOption> options);

// Writes rows indented by two, every text starting in one column: two spaces after the
// longest tag, or after tagWidth characters when given, a longer tag then getting its text on
// the next line in that column.
void WriteHelpRows(std::span<const HelpRow> rows, std::ostream& out, std::size_t tagWidth = 0);

// The options of several tables as one, for a help that lists them in sections.
template <std::size_t... Sizes>
constexpr std::array<ArgOption, (Sizes + ...)>
JoinOptions(const std::array<ArgOption, Sizes>&... tables) {
    std::array<ArgOption, (Sizes + ...)> joined{};
    std::size_t next = 0;
    ((std::copy(tables.begin(), tables.end(), joined.begin() + next), next += tables.size()), ...);
    return joined;
}

} // namespace tarvik
