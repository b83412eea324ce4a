#include "setup/WindowsCommandLine.h"

#include "setup/TestHookSettings.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace setup::test {
namespace {

// The words are quoted so that the Microsoft C runtime's argument parser gives them back:
// "Parsing C++ command-line arguments" (Microsoft C++ documentation): blanks and tabs separate
// arguments unless inside quotes; 2n backslashes before a quote give n backslashes and the
// quote delimits; 2n+1 backslashes before a quote give n backslashes and a literal quote;
// backslashes anywhere else are literal.
TEST(WindowsCommandLineTest, QuotesWordsAsTheRuntimeParsesThem) {
    struct Case {
        std::string word;
        std::string quoted;
    };
    const std::vector<Case> cases = {
        {"plain", "plain"},
        {"C:\\Temp\\ist1A2B.tm!\\setup\\a.exe", "C:\\Temp\\ist1A2B.tm!\\setup\\a.exe"},
        {"", "\"\""},
        {"two words", "\"two words\""},
        {"tab\there", "\"tab\there\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"C:\\Program Files\\", "\"C:\\Program Files\\\\\""},
        {"a\\\\b c", "\"a\\\\b c\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(QuoteCommandWord(c.word), c.quoted) << c.word;
    }
}

TEST(WindowsCommandLineTest, ProgramComesFirstAndWordsAreSeparatedByOneBlank) {
    EXPECT_EQ(JoinWindowsCommandLine("C:\\a b\\setup.exe", {"/l", "two words", ""}),
              "\"C:\\a b\\setup.exe\" /l \"two words\" \"\"");
    EXPECT_EQ(JoinWindowsCommandLine("run.exe", {}), "run.exe");
}

// CreateProcess (Microsoft Win32 documentation, lpCommandLine): a program name that holds a
// blank is put in quotes; otherwise the first blank ends it.
TEST(WindowsCommandLineTest, ProgramWordEndsAtItsClosingQuoteOrTheFirstBlank) {
    struct Case {
        std::string line;
        std::size_t length;
    };
    const std::vector<Case> cases = {
        {"setup.exe /i", 9},
        {"\"C:\\a b\\setup.exe\" /l tail", 18},
        {"\"C:\\a b\\setup.exe\"", 18},
        {"\"C:\\unclosed /i", 15},
        {"setup.exe\t/i", 9},
        {"setup.exe", 9},
        {"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgramWordLength(c.line), c.length) << c.line;
    }
}

TEST(TestHookSettingsTest, ReadsKnownKeysAndIgnoresTheRest) {
    struct Case {
        std::string text;
        TestHookSettings expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"report=Z:\\r.txt;cancel-at=9", {"Z:\\r.txt", "", "", 9, std::nullopt}},
        {"pause-at=3;release=/tmp/go;shots=/tmp/s", {"", "/tmp/s", "/tmp/go", std::nullopt, 3}},
        {"cancel-at=x;pause-at=;unknown=1;novalue", {}},
        {"cancel-at=12abc;;report=a=b", {"a=b", "", "", std::nullopt, std::nullopt}},
    };
    for (const Case& c : cases) {
        const TestHookSettings read = ParseTestHookSettings(c.text);
        EXPECT_EQ(read.reportPath, c.expected.reportPath) << c.text;
        EXPECT_EQ(read.shotFolder, c.expected.shotFolder) << c.text;
        EXPECT_EQ(read.releasePath, c.expected.releasePath) << c.text;
        EXPECT_EQ(read.cancelAt, c.expected.cancelAt) << c.text;
        EXPECT_EQ(read.pauseAt, c.expected.pauseAt) << c.text;
    }
}

} // namespace
} // namespace setup::test
