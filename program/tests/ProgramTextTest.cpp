#include "program/ProgramText.h"

#include "base/TextLines.h"
#include "program/ProgramDocument.h"
#include "program/tests/ThirdModel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

TEST(ProgramTextTest, SetTextSplitsAtEveryKindOfLineBreak) {
    struct Case {
        std::string text;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"TL1=1", {"TL1=1"}},
        {"TL1=1\r\nTL2=2", {"TL1=1", "TL2=2"}},
        {"TL1=1\nTL2=2\rTL3=3", {"TL1=1", "TL2=2", "TL3=3"}},
        {"TL1=1\r\n", {"TL1=1"}},
        {"TL1=1\r\n\r\nTL2=2", {"TL1=1", "", "TL2=2"}},
        {"\r\n", {""}},
        {"a\n\rb", {"a", "", "b"}},
    };
    for (const auto& c : cases) {
        ProgramText text;
        text.setText(c.text);
        EXPECT_EQ(text.lines(), c.lines) << "text: " << c.text;
    }
}

TEST(ProgramTextTest, TextJoinsLinesWithCrLf) {
    ProgramText text;
    text.assign({"TL1=1", "", "RED=3"});
    EXPECT_EQ(text.text(), "TL1=1\r\n\r\nRED=3");
    text.setText(text.text());
    EXPECT_EQ(text.lines(), (Lines{"TL1=1", "", "RED=3"}));
}

TEST(ProgramTextTest, KeepsEightBitBytes) {
    ProgramText text;
    text.setText("#1ALL\xE8RME=1\r\nNET=\xFF");
    EXPECT_EQ(text.line(0), "#1ALL\xE8RME=1");
    EXPECT_EQ(text.line(1), "NET=\xFF");
}

TEST(TextLinesTest, StartsWithUpperFoldsOnlyAsciiLetters) {
    struct Case {
        std::string text;
        std::string prefix;
        bool starts;
    };
    const std::vector<Case> cases = {
        {"rr123:1=5", "RR", true},  {"Tl3C=1", "TL3", true}, {"RR", "RR", true},
        {"R", "RR", false},         {"", "", true},          {"TR001=1", "RR", false},
        {"\xE9x=1", "\xC9", false}, {"{a", "[A", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartsWithUpper(c.text, c.prefix), c.starts)
            << "text: " << c.text << " prefix: " << c.prefix;
    }
}

TEST(ProgramTextTest, EditsKeepOrder) {
    ProgramText text;
    text.append("B");
    text.insert(0, "A");
    text.insert(99, "D");
    text.insert(2, "C");
    EXPECT_EQ(text.lines(), (Lines{"A", "B", "C", "D"}));
    text.erase(1);
    text.erase(42);
    EXPECT_EQ(text.lines(), (Lines{"A", "C", "D"}));
    EXPECT_THROW((void)text.line(3), std::out_of_range);
}

TEST(ProgramTextTest, EveryModifyingCallNotifies) {
    ProgramText text;
    int changes = 0;
    const Connection watch = text.connectChanged([&] { ++changes; });

    text.clear(); // an empty text cleared is still a change (New)
    EXPECT_EQ(changes, 1);
    text.append("A");
    text.insert(0, "B");
    text.erase(0);
    text.assign({"X"});
    text.setText("X");
    EXPECT_EQ(changes, 6);

    text.erase(5); // nothing there: no change
    (void)text.text();
    (void)text.lines();
    EXPECT_EQ(changes, 6);
}

TEST(ProgramTextTest, CopyTakesLinesButNotListeners) {
    ProgramText original;
    int changes = 0;
    const Connection watch = original.connectChanged([&] { ++changes; });
    original.append("A");

    ProgramText copy(original);
    copy.append("B");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(original.lines(), (Lines{"A"}));
    EXPECT_EQ(copy.lines(), (Lines{"A", "B"}));
}

TEST(ProgramDocumentTest, ProgramChangesSetModifiedButNotesDoNot) {
    ProgramDocument doc{testing::kThirdModel};
    EXPECT_FALSE(doc.modified);
    doc.notes.push_back("customer X");
    EXPECT_FALSE(doc.modified);
    doc.program.text().append("TL1=1");
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    doc.program.setProgramEntry("RED", "3");
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    doc.program.setProgramEntry("MIC", ""); // no MIC line: nothing changes
    EXPECT_FALSE(doc.modified);
}

} // namespace
} // namespace tarvik
