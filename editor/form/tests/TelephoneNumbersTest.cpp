#include "editor/form/TelephoneNumbers.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::test {
namespace {

// A card stores a number as BCD digits with "*", "#" and the type of number (a leading "+"
// is the international type): GSM 11.11 §10.5.1 (EF ADN) and 3GPP TS 24.008 §10.5.4.7.
// Anything else a card cannot hold and a device cannot dial.
TEST(TelephoneNumbersTest, KeyFilterTakesWhatACardNumberHolds) {
    const struct {
        char key;
        std::size_t position;
        bool allowed;
    } cases[] = {
        {'0', 0, true},  {'9', 5, true},  {'*', 3, true},     {'#', 0, true},
        {'+', 0, true},  {'+', 1, false}, {'a', 0, false},    {'Z', 2, false},
        {' ', 1, false}, {'-', 1, false}, {'(', 0, false},    {'.', 4, false},
        {'p', 2, false}, {'\b', 0, true}, {'\x7f', 0, false}, {'\xe8', 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.key) + " at " + std::to_string(c.position));
        EXPECT_EQ(TelephoneKeyAllowed(c.key, c.position), c.allowed);
    }
}

TEST(TelephoneNumbersTest, DialableNumbers) {
    const struct {
        const char* text;
        bool dialable;
    } cases[] = {
        {"", true},         {"0039123", true},      {"+39123", true},
        {"*31#0612", true}, {"abc001234#*", false}, {"1+2", false},
        {"++1", false},     {"06 12", false},       {"+", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsDialableNumber(c.text), c.dialable);
    }
}

TEST(TelephoneNumbersTest, UndialableEntriesNamesTheTelephoneLinesOnly) {
    const std::vector<std::string> lines = {
        "TL4=abc001234#*", "TL1=0039123", "TL2C=12a", "TO3:1=x1", "TK0= 0612 ", "tk5=9b",
        "#1Alarm=1",       "RED=abc",     "LK1=x",    "TL=abc",   "garbage",
    };
    EXPECT_EQ(UndialableEntries(lines),
              (std::vector<std::string>{"TL4=abc001234#*", "TL2C=12a", "TO3:1=x1", "tk5=9b"}));
}

} // namespace
} // namespace tarvik::test
