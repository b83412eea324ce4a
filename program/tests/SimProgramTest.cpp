#include "program/SimProgram.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

struct SetCase {
    const char* what;
    Lines before;
    std::string name;
    std::string number;
    Lines after;
};

TEST(SimProgramTest, SetProgramEntryReplacesInsertsAndRemoves) {
    const std::vector<SetCase> cases = {
        {"variant replaces its key's line, sorted insert, plus normalised",
         {"RED=3", "TL1=1", "TL2=555", "TL3=7"},
         "TL2C",
         "+39 02 123",
         {"RED=3", "TL1=1", "TL2C=0039 02 123", "TL3=7"}},
        {"only the first line with the key goes; the new line sorts after the remaining one",
         {"TL1=1", "TL1=1"},
         "TL1",
         "2",
         {"TL1=1", "TL1=2"}},
        {"only the first line with the key goes; the new line sorts before the remaining one",
         {"TL1=1", "TL1=1"},
         "TL1",
         "0",
         {"TL1=0", "TL1=1"}},
        {"never inserted after the barrier list",
         {"MIC=5", "RR12345678:3=12345678", "TR000=5"},
         "TPR",
         "12",
         {"MIC=5", "TPR=12", "RR12345678:3=12345678", "TR000=5"}},
        {"only old lines are upper-cased when sorting", {"LKB=2"}, "LKa", "1", {"LKB=2", "LKa=1"}},
        {"an old line sorts by its upper-cased text", {"mic=5"}, "MIB", "1", {"MIB=1", "mic=5"}},
        {"empty number removes", {"RED=3", "TL1=1"}, "RED", "", {"TL1=1"}},
        {"key is case-insensitive on the old lines", {"red=3"}, "RED", "", {}},
        {"empty name does nothing", {"TL1=1"}, "", "5", {"TL1=1"}},
        {"name shorter than its key does nothing", {"TL1=1"}, "TL", "5", {"TL1=1"}},
        {"IFA alone is shorter than its four-character key", {"IFA1=3"}, "IFA", "", {"IFA1=3"}},
        {"# alone is shorter than its two-character key", {"#1A=1"}, "#", "", {"#1A=1"}},
        {"$a texts share the key $A",
         {"$ATAMPER=10", "TL1=1"},
         "$aNEW",
         "10",
         {"$aNEW=10", "TL1=1"}},
        {"# texts share a two-character key",
         {"#3OLD=3", "TL1=1"},
         "#3NEW-TEXT",
         "3",
         {"#3NEW-TEXT=3", "TL1=1"}},
        {"IFA has a four-character key and leaves IF alone",
         {"IF2=5", "IFA2=9"},
         "IFA2",
         "",
         {"IF2=5"}},
        {"V2 entry found by two letters", {"V2PRE CRE SIN=*123#"}, "V2PRE CRE SIN", "", {}},
        {"long keyword found by its first three letters", {"MRES=5"}, "MREX", "", {}},
        {"appends when every line sorts lower", {"MIC=5"}, "SPK", "3", {"MIC=5", "SPK=3"}},
        {"equal line counts as not less", {"RED=3"}, "RED", "3", {"RED=3"}},
    };
    for (const auto& c : cases) {
        SimProgram program;
        program.text().assign(c.before);
        program.setProgramEntry(c.name, c.number);
        EXPECT_EQ(program.text().lines(), c.after) << c.what;
    }
}

TEST(SimProgramTest, KeyPrefixLooksAtTheNameAsPassed) {
    // A lower-case "ifa" does not get the four-character key: its key is the three
    // characters IFA, so it removes the first IFA line whatever its index.
    SimProgram program;
    program.text().assign({"IFA1=3", "IFA2=4"});
    program.setProgramEntry("ifa2", "");
    EXPECT_EQ(program.text().lines(), (Lines{"IFA2=4"}));
}

TEST(SimProgramTest, SetProgramEntryRebuildsRemoteTextEvenWhenNothingChanges) {
    SimProgram program;
    program.text().assign({"TL1=1"});
    EXPECT_EQ(program.remoteText(), "");
    program.setProgramEntry("RED", "");
    EXPECT_EQ(program.text().lines(), (Lines{"TL1=1"}));
    EXPECT_EQ(program.remoteText(), ";TL1=1;");
}

TEST(SimProgramTest, AppendProgramEntryNormalisesBothPartsAndLeavesRemoteText) {
    SimProgram program;
    program.text().assign({"TL1=1"});
    program.appendProgramEntry("RR+3912345678:3", "+3912345678");
    program.appendProgramEntry("TL1", "9");
    EXPECT_EQ(program.text().lines(), (Lines{"TL1=1", "RR003912345678:3=003912345678", "TL1=9"}));
    EXPECT_EQ(program.remoteText(), "");
}

TEST(SimProgramTest, RemoteTextCutsBlocksOf160Characters) {
    // Ten pieces of 20 characters: the leading ";" and 7 make the first block 141 characters,
    // since an eighth would make it 161, one more than an SMS carries; 3 go to the second.
    Lines lines;
    for (int i = 0; i < 10; ++i) {
        lines.push_back("TR00" + std::to_string(i) + "=1234567890123"); // 19 characters
    }
    ASSERT_EQ(lines[0].size(), 19u);
    std::string expected = ";";
    for (int i = 0; i < 7; ++i) {
        expected += lines[i] + ";";
    }
    expected += "\r\n\r\n" + lines[7] + ";" + lines[8] + ";" + lines[9] + ";";
    EXPECT_EQ(BuildRemoteText(lines), expected);
}

TEST(SimProgramTest, RemoteTextSkipsLinesWithoutKeywordNames) {
    struct Case {
        Lines lines;
        std::string remote;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"hello", "IC1=5", "=5", "X=1", "TO1:1=55"}, ""},
        {{"TL1=1", "note", "RED=3=4"}, ";TL1=1;RED=3=4;"},
        {{" TL1=1"}, ""}, // the name is not trimmed
        {{"TL1"}, ""},    // no "=": empty name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BuildRemoteText(c.lines), c.remote);
    }
}

TEST(SimProgramTest, RemoteTextPutsAPieceLongerThanABlockInItsOwnBlock) {
    const std::string longLine = "NET=" + std::string(200, 'x');
    const std::string remote = BuildRemoteText(Lines{"TL1=1", longLine, "TL2=2"});
    EXPECT_EQ(remote, ";TL1=1;\r\n\r\n" + longLine + ";\r\n\r\nTL2=2;");
    // First, it stays with the leading ";" rather than leave a block of ";" alone.
    EXPECT_EQ(BuildRemoteText(Lines{longLine, "TL2=2"}), ";" + longLine + ";\r\n\r\nTL2=2;");
}

} // namespace
} // namespace tarvik
