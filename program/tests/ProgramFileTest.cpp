#include "program/ProgramFile.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

TEST(ProgramFileTest, EmptyDocumentIsModelLineAndSeparator) {
    const std::string plain = BuildPlainDocument(2, {}, {});
    EXPECT_EQ(plain, "SIM-05\r\nSIM-PRG\r\n");
    EXPECT_EQ(plain.size(), 17u);
    EXPECT_EQ(ScrambleText(plain).size() + 2, 53u);
}

TEST(ProgramFileTest, ScrambleUsesKeyByPositionInWholeText) {
    // "S" (0x53) is character 1 and takes K[1] = 0x91: 0xC2 = 194. Character 17 takes K[0]
    // and character 18 K[1] again.
    EXPECT_EQ(ScrambleText("S"), "194");
    const std::string plain(18, '\0');
    const std::string digits = ScrambleText(plain);
    EXPECT_EQ(digits.substr(0, 3), "145");      // K[1] = 0x91
    EXPECT_EQ(digits.substr(15 * 3, 3), "095"); // character 16: K[16] = 0x5f
    EXPECT_EQ(digits.substr(16 * 3, 3), "058"); // character 17: K[0] = 0x3a
    EXPECT_EQ(digits.substr(17 * 3, 3), "145"); // character 18: K[1]
    EXPECT_EQ(ScrambleText(""), "");
}

TEST(ProgramFileTest, UnscrambleReversesScrambleForAnyBytes) {
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::string plain(random() % 300, '\0');
        for (char& c : plain) {
            c = static_cast<char>(random() % 256);
        }
        // A file holds the digits and CR LF; the leftover line break is ignored.
        EXPECT_EQ(UnscrambleText(ScrambleText(plain) + "\r\n"), plain);
        EXPECT_EQ(UnscrambleText(ScrambleText(plain)), plain);
    }
}

TEST(ProgramFileTest, UnscrambleReadsBadGroupsAsBlank) {
    struct Case {
        std::string digits;
        unsigned first; // plain byte 1, before the key K[1] = 0x91
    };
    const std::vector<Case> cases = {
        {"abc", 32},
        {"1a2", 32},
        {"   ", 32},
        {"--1", 32},
        {"+", 32},
        {"999", 999},
        {"+12", 12},
        {"-01", static_cast<unsigned>(-1)},
        // blanks are not part of a number, wherever they stand
        {" 12", 32},
        {"1 2", 32},
        {"12 ", 32},
        {"-1 ", 32},
    };
    for (const auto& c : cases) {
        const std::string plain = UnscrambleText(c.digits + "\r\n");
        ASSERT_FALSE(plain.empty()) << c.digits;
        EXPECT_EQ(static_cast<unsigned char>(plain[0]), (c.first ^ 0x91u) & 0xffu) << c.digits;
    }
}

TEST(ProgramFileTest, UnscrambleTurnsAnyLineBreakIntoCrLf) {
    // A file whose digits were split over lines with LF still reads: the break counts as
    // CR LF, two characters of the next group.
    const std::string digits = ScrambleText("AB");
    const std::string plain = UnscrambleText(digits.substr(0, 3) + "\n" + digits.substr(3));
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0], 'A');
    EXPECT_EQ(UnscrambleText(""), "");
}

TEST(ProgramFileTest, ParseSplitsNotesAndProgram) {
    const std::string plain =
        BuildPlainDocument(1, Lines{"note one", "", "note three"}, Lines{"TL1=1", "RED=3"});
    const auto document = ParsePlainDocument(plain);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->modelIndex, 1);
    EXPECT_EQ(document->notes, (Lines{"note one", "", "note three"}));
    EXPECT_EQ(document->program, (Lines{"TL1=1", "RED=3"}));
}

TEST(ProgramFileTest, ParseRefusesTextNotBeginningWithSim) {
    for (const std::string plain : {"", "\r\n", "SIM", "SIM\r\n-05", "sim-05\r\nSIM-PRG\r\n",
                                    " SIM-05\r\nSIM-PRG\r\n", "XSIM-05"}) {
        EXPECT_FALSE(ParsePlainDocument(plain)) << plain;
    }
}

TEST(ProgramFileTest, ParseReadsModelDigit) {
    struct Case {
        std::string firstLine;
        int model;
    };
    const std::vector<Case> cases = {
        {"SIM-03", 0}, {"SIM-04", 1}, {"SIM-05", 2}, {"SIM-00", 0}, {"SIM-09", 6},
        {"SIM-0", 0},  {"SIM-", 0},   {"SIM-0X", 0}, {"SIM-15", 2}, {"SIM-05 anything", 2},
    };
    for (const auto& c : cases) {
        const auto document = ParsePlainDocument(c.firstLine + "\r\nSIM-PRG\r\n");
        ASSERT_TRUE(document) << c.firstLine;
        EXPECT_EQ(document->modelIndex, c.model) << c.firstLine;
    }
}

TEST(ProgramFileTest, ParseSeparatorRules) {
    struct Case {
        std::string plain;
        Lines notes;
        Lines program;
    };
    const std::vector<Case> cases = {
        {"SIM-05", {}, {}},
        {"SIM-05\r\nnote\r\nTL1=1", {"note", "TL1=1"}, {}},
        {"SIM-05\r\nsim-prg\r\nTL1=1", {"sim-prg", "TL1=1"}, {}},
        {"SIM-05\r\nSIM-PRG \r\nTL1=1", {"SIM-PRG ", "TL1=1"}, {}},
        {"SIM-05\r\nSIM-PRG\r\n", {}, {}},
        {"SIM-05\nSIM-PRG\rTL1=1\r\n", {}, {"TL1=1"}},
        // a notes line that reads SIM-PRG ends the notes on load
        {"SIM-05\r\nA\r\nSIM-PRG\r\nB\r\nSIM-PRG\r\nTL1=1\r\n", {"A"}, {"B", "SIM-PRG", "TL1=1"}},
    };
    for (const auto& c : cases) {
        const auto document = ParsePlainDocument(c.plain);
        ASSERT_TRUE(document) << c.plain;
        EXPECT_EQ(document->notes, c.notes) << c.plain;
        EXPECT_EQ(document->program, c.program) << c.plain;
    }
}

} // namespace
} // namespace tarvik
