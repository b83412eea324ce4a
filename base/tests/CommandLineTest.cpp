#include "base/CommandLine.h"

#include <array>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

constexpr std::array options{
    ArgOption{"--json", ArgValue::None, "", "as JSON"},
    ArgOption{"--pin", ArgValue::Text, "PIN", "the PIN"},
    ArgOption{"--port", ArgValue::Name, "PORT", "the port"},
    ArgOption{"--log", ArgValue::File, "FILE", "the log"},
    ArgOption{"--wait", ArgValue::Count, "SECONDS", "how long"},
    ArgOption{"--deliver", ArgValue::Choice, "cmt|cmti", "where replies go"},
};

// One or two operands.
constexpr ArgOperands oneOrTwo{.min = 1, .max = 2};

std::string Describe(const ParsedArgs& parsed) {
    std::string text;
    for (const auto& operand : parsed.operands) {
        text += "[" + std::string(operand) + "]";
    }
    for (const auto& [name, value] : parsed.options) {
        text += " " + std::string(name) + "=" + std::string(value);
    }
    return text;
}

TEST(CommandLineTest, ReadsOptionsAndOperands) {
    struct Case {
        std::vector<std::string_view> args;
        std::string parsed; // operands in brackets, then each option=value given
    };
    const std::vector<Case> cases = {
        {{"a"}, "[a]"},
        {{"a", "b"}, "[a][b]"},
        {{"--pin", "1234", "a"}, "[a] --pin=1234"},
        {{"a", "--pin=1234"}, "[a] --pin=1234"},
        {{"--pin=", "a"}, "[a] --pin="},                    // an empty text is a value
        {{"--pin", "--json", "a"}, "[a] --pin=--json"},     // a value may look like an option
        {{"--pin=a=b", "a"}, "[a] --pin=a=b"},              // only the first '=' splits
        {{"--json", "a", "--json"}, "[a] --json= --json="}, // repeated, in order
        {{"--log", "x", "--log", "y", "a"}, "[a] --log=x --log=y"},
        {{"-", "--json"}, "[-] --json="}, // "-" is an operand
        {{"--", "--json"}, "[--json]"},   // "--" ends the options
        {{"a", "--", "-x"}, "[a][-x]"},
        {{"--", "a", "--"}, "[a][--]"}, // a second "--" is an operand
        {{"--wait", "0", "a"}, "[a] --wait=0"},
        {{"--wait=999999999", "a"}, "[a] --wait=999999999"},
        {{"--deliver", "cmti", "a"}, "[a] --deliver=cmti"},
        {{"--port", "/dev/ttyUSB0", "a"}, "[a] --port=/dev/ttyUSB0"},
        {{"--log", "-", "a"}, "[a] --log=-"},
    };
    for (const auto& c : cases) {
        const ArgParse parse = ParseArgs(options, oneOrTwo, c.args);
        EXPECT_EQ(parse.error, "") << ::testing::PrintToString(c.args);
        EXPECT_EQ(Describe(parse.args), c.parsed) << ::testing::PrintToString(c.args);
    }
}

TEST(CommandLineTest, RefusesWithOneReason) {
    struct Case {
        std::vector<std::string_view> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{}, "missing operand"},
        {{"--json"}, "missing operand"},
        {{"a", "b", "c", "d"}, "extra operand 'c'"},
        {{"--frob", "a"}, "unknown option '--frob'"},
        {{"a", "--frob=1"}, "unknown option '--frob'"},
        {{"-x", "a"}, "unknown option '-x'"},
        {{"--js", "a"}, "unknown option '--js'"}, // no abbreviations
        {{"a", "--pin"}, "--pin needs a value (PIN)"},
        {{"a", "--port="}, "--port needs a value (PORT)"},
        {{"a", "--log", ""}, "--log needs a value (FILE)"},
        {{"--json=yes", "a"}, "--json takes no value"},
        {{"--json=", "a"}, "--json takes no value"},
        {{"a", "--wait", "-1"}, "--wait takes a whole number, not '-1'"},
        {{"a", "--wait", "1x"}, "--wait takes a whole number, not '1x'"},
        {{"a", "--wait="}, "--wait takes a whole number, not ''"},
        {{"a", "--wait", "1000000000"}, "--wait takes a whole number, not '1000000000'"},
        {{"a", "--deliver", "cm"}, "--deliver takes cmt|cmti, not 'cm'"},
        {{"a", "--deliver="}, "--deliver takes cmt|cmti, not ''"},
        // The first fault is the one reported.
        {{"--frob", "--pin"}, "unknown option '--frob'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseArgs(options, oneOrTwo, c.args).error, c.error)
            << ::testing::PrintToString(c.args);
    }
}

TEST(CommandLineTest, CountsOperands) {
    struct Case {
        ArgOperands operands;
        std::size_t given;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{}, 0, ""},
        {{}, 1, "extra operand 'o0'"},
        {{.min = 2, .max = 3}, 1, "missing operand"},
        {{.min = 2, .max = 3}, 3, ""},
        {{.min = 2, .max = 3}, 4, "extra operand 'o3'"},
        {{.min = 1, .max = ArgOperands::unlimited}, 0, "missing operand"},
        {{.min = 1, .max = ArgOperands::unlimited}, 20, ""},
    };
    const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int i = 0; i < 20; ++i) {
            all.push_back("o" + std::to_string(i));
        }
        return all;
    }();
    for (const auto& c : cases) {
        const std::vector<std::string_view> args(names.begin(), names.begin() + c.given);
        EXPECT_EQ(ParseArgs({}, c.operands, args).error, c.error) << c.given;
    }
}

TEST(CommandLineTest, FindsHelpBeforeTheEndOfOptions) {
    struct Case {
        std::vector<std::string_view> args;
        bool help;
    };
    const std::vector<Case> cases = {
        {{"--help"}, true},  {{"a", "-h"}, true},    {{"--", "--help"}, false},
        {{"a", "b"}, false}, {{"--helpful"}, false}, {{"-help"}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AsksForHelp(c.args), c.help) << ::testing::PrintToString(c.args);
    }
}

TEST(CommandLineTest, HelpRowsLineUpTheirTexts) {
    struct Case {
        std::vector<HelpRow> rows;
        std::size_t tagWidth; // 0: as wide as the longest tag
        std::string text;
    };
    const std::vector<Case> cases = {
        {{{"-a", "one"}, {"--bee X", "two"}}, 0, "  -a       one\n  --bee X  two\n"},
        // Further lines of a text start in its column.
        {{{"-a", "one\nmore"}}, 0, "  -a  one\n      more\n"},
        // A tag too long for a given column puts its text on the next line.
        {{{"-a", "one"}, {"--long-tag", "two"}}, 4, "  -a    one\n  --long-tag\n        two\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        WriteHelpRows(c.rows, out, c.tagWidth);
        EXPECT_EQ(out.str(), c.text);
    }
    const auto rows = OptionRows(std::span(options).first(2));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].tag, "--json");
    EXPECT_EQ(rows[1].tag, "--pin PIN");
    EXPECT_EQ(ChoiceWords("0|1|2"), (std::vector<std::string_view>{"0", "1", "2"}));
    constexpr std::array first{ArgOption{"--a"}};
    constexpr std::array second{ArgOption{"--b"}, ArgOption{"--c"}};
    constexpr auto joined = JoinOptions(first, second);
    static_assert(joined.size() == 3);
    EXPECT_EQ(joined[0].name, "--a");
    EXPECT_EQ(joined[2].name, "--c");
}

} // namespace
} // namespace tarvik
