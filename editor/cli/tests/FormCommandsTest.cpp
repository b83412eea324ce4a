#include "editor/cli/CliCommand.h"
#include "editor/cli/tests/CliRun.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using tarvik::testing::ReadAll;
using tarvik::testing::TemporaryFolder;
using tarvik::testing::WriteAll;

// The value printed for NAME, or "<missing>".
std::string Printed(const std::string& out, const std::string& name) {
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(name + "=")) {
            return line.substr(name.size() + 1);
        }
    }
    return "<missing>";
}

class FormCommandsTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, int model, std::vector<std::string> program) {
        const std::string path = folder.file(name);
        WriteScrambled(path, BuildPlainDocument(model, std::vector<std::string>{"note"}, program));
        return path;
    }
    std::string Plain(const std::string& path) { return UnscrambleText(ReadAll(path)); }

    TemporaryFolder folder;
};

TEST_F(FormCommandsTest, FieldsPrintsFormAsOpenShowsIt) {
    const std::string path =
        Write("a.sim", 2, {"TL1C=123", "RED=5", "OP2=238", "RR12345678:5=0039333", "TR042=555"});
    const CliRun run = RunWith({"fields", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Printed(run.out, "CBDevice"), "2");
    EXPECT_EQ(Printed(run.out, "EDTl1"), "123");
    EXPECT_EQ(Printed(run.out, "CBTl1"), "1");
    EXPECT_EQ(Printed(run.out, "CBRed"), "1");
    EXPECT_EQ(Printed(run.out, "EDRed"), "5");
    EXPECT_EQ(Printed(run.out, "EDSph"), "3544");
    EXPECT_EQ(Printed(run.out, "CBOp1"), "4");
    EXPECT_EQ(Printed(run.out, "SGRamp[1]"), "0039333,1,0,1,0");
    EXPECT_EQ(Printed(run.out, "SGTR[43]"), "555");
    EXPECT_EQ(Printed(run.out, "MemoSim"), "<missing>");
    EXPECT_EQ(Printed(run.out, "readonly"),
              "CBLanet,EDLanet,CBTlchk,EDTlchk,CBIdcon,CBIdconV,CBOutpr,EDOutpr,CBGsmpr,EDGsmpr");
    // Fields come in table order, the grids and the read-only list last.
    EXPECT_LT(run.out.find("CBDevice="), run.out.find("CBRed="));
    EXPECT_LT(run.out.find("EDSms_a="), run.out.find("SGRamp[1]="));
    EXPECT_LT(run.out.find("SGTR[43]="), run.out.find("readonly="));
}

TEST_F(FormCommandsTest, FieldsFollowsFileModelOrGivenModel) {
    const std::string path = Write("a.sim", 0, {"LKa=5"});
    CliRun run = RunWith({"fields", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Printed(run.out, "CBDevice"), "0");
    EXPECT_EQ(Printed(run.out, "readonly"), "EDLka,EDLkb,EDSms_a");
    run = RunWith({"fields", path, "--model", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Printed(run.out, "CBDevice"), "1");
    EXPECT_EQ(Printed(run.out, "EDLka"), "5");
}

TEST_F(FormCommandsTest, EditAppliesUserEditsInOrderAndSaves) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const CliRun run = RunWith({"edit", path, "CBTl2=1", "EDTl2=+391", "CBRed=1", "EDRed=7",
                                "CBOp0=7", "SGRamp[1][0]=+39123456789", "SGRamp[1][1]=1",
                                "SGRamp[1][3]=1", "SGTR[43]=555", "EDLk4=1-2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Plain(path), "SIM-05\r\nnote\r\nSIM-PRG\r\nLK4.1-2=0\r\nOP1=241\r\nRED=7\r\n"
                           "TL2C=00391\r\nRR23456789:5=0039123456789\r\nTR042=555\r\n");
}

// An edit the form does not take as given is told in one line; what the form took is saved
// and the status is 3; with --strict nothing is saved.
TEST_F(FormCommandsTest, EditTellsEachEditTheFormChangedOrRefused) {
    struct Case {
        std::string edit;
        std::string told; // after "tarvik-cli: "
        std::string line; // the program line saved without --strict, "" for none
    };
    const std::vector<Case> cases = {
        {"EDRed=999", "EDRed: 999 is above 99, set to 99", "RED=99"},
        {"EDRed=-4", "EDRed: -4 is below 1, set to 1", "RED=1"},
        {"EDRed=5-3", "EDRed: \"5-3\" is not a number, set to 3", "RED=3"},
        {"EDTl2=+39 1", "EDTl2: the field refuses \" \", set to \"+391\"", "TL2C=00391"},
        // A device cannot dial letters, and a card's number field cannot hold them.
        {"EDTl2=abc", "EDTl2: the field refuses \"abc\", set to \"\"", ""},
        {"EDTl2=1+2#", "EDTl2: the field refuses \"+\", set to \"12#\"", "TL2C=12#"},
        {"EDSms1=a=b", "EDSms1: the field refuses \"=\", set to \"ab\"", "#1ab=1"},
        {"EDSms3=a\nb", "EDSms3: the field refuses \"\\n\", set to \"ab\"", "#3ab=3"},
        {"EDSms2=123456789012345", "EDSms2: longer than 14 characters, set to \"12345678901234\"",
         "#212345678901234=2"},
        {"EDLanet=02", "EDLanet: read-only for this model; not changed", ""},
        {"CBRed=2", "CBRed: takes 0 or 1, not \"2\"; not changed", ""},
        {"CBOp0=99", "CBOp0: takes an item from 0 to 14, not \"99\"; not changed", ""},
        {"EDSms1=\u0101",
         "EDSms1: the character '\u0101' (U+0101) cannot be stored: only Windows-1252 text is "
         "allowed; not changed",
         ""},
        {"SGRamp[1][1]= ",
         "SGRamp[1][1]: a flag cell keeps one key (a letter or blank toggles it), set to \"1\"",
         ""},
        {"SGRamp[1][0]=12", "SGRamp[1][0]: too short to give a program entry, set to \"12\"", ""},
        {"SGTR[4]=5\n6", "SGTR[4]: only the first line is kept, set to \"5\"", "TR003=5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit);
        const std::string path = Write("a.sim", 2, {"TL2=555"});
        const std::string before = ReadAll(path);
        const std::string redOn = c.edit.starts_with("EDRed") ? "CBRed=1" : "CBTl2=1";
        const CliRun strict = RunWith({"edit", path, "--strict", redOn, c.edit});
        EXPECT_EQ(strict.status, 3);
        EXPECT_EQ(strict.err,
                  "tarvik-cli: " + c.told + "\ntarvik-cli: edit: --strict: nothing saved\n");
        EXPECT_EQ(ReadAll(path), before);

        const CliRun run = RunWith({"edit", path, redOn, c.edit});
        EXPECT_EQ(run.status, 3);
        EXPECT_EQ(run.err, "tarvik-cli: " + c.told + "\n");
        const std::string plain = Plain(path);
        EXPECT_NE(plain, UnscrambleText(before)) << "the other edit is saved";
        if (!c.line.empty()) {
            EXPECT_NE(plain.find("\r\n" + c.line + "\r\n"), std::string::npos) << plain;
        }
    }
}

TEST_F(FormCommandsTest, EditWithAModelAppliesTheModelFirst) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const CliRun run = RunWith({"edit", path, "--model", "0", "CBLanet=1", "EDLanet=02"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Plain(path), "SIM-03\r\nnote\r\nSIM-PRG\r\nLANET=02\r\nTL2=555\r\n");
}

TEST_F(FormCommandsTest, EditOfNothingThatExistsIsABadArgumentAndSavesNothing) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const std::string before = ReadAll(path);
    for (const char* edit : {"EDNothing=1", "SGRamp[0][0]=1", "SGRamp[1][5]=1", "SGRamp[1]=1",
                             "SGTR[1001]=1", "SGTR[0]=1", "SGTR[x]=1", "MemoSim=TL1=1", "EDTl1"}) {
        const CliRun run = RunWith({"edit", path, "EDTl1=5", edit});
        EXPECT_EQ(run.status, 2) << edit;
        EXPECT_TRUE(run.err.starts_with("tarvik-cli: edit: ")) << run.err;
        EXPECT_EQ(ReadAll(path), before) << edit;
    }
}

// Arguments and output are UTF-8; the program's text is Windows-1252, one byte a character,
// so a length limit counts characters.
TEST_F(FormCommandsTest, TextCrossesTheCommandLineAsUtf8) {
    const std::string path = Write("a.sim", 2, {});
    CliRun run = RunWith({"edit", path, "EDSms1=a\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
                          "EDSms2=\u20ac\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"
                          "\u00e9\u00e9\u00e9\u00e9\u00e9"});
    // The second text has 15 characters: the field keeps 14 whole ones.
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "tarvik-cli: EDSms2: longer than 14 characters, set to \"\u20ac\u00e9\u00e9"
                       "\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\"\n");
    EXPECT_EQ(Plain(path), "SIM-05\r\nnote\r\nSIM-PRG\r\n"
                           "#1a\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9=1\r\n"
                           "#2\x80\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9=2\r\n");

    run = RunWith({"fields", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Printed(run.out, "EDSms1"), "a\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9");
    ASSERT_EQ(RunWith({"set", path, "NET", "Caf\u00e9"}).status, 0);
    EXPECT_NE(RunWith({"show", path}).out.find("NET=Caf\u00e9\n"), std::string::npos);
    EXPECT_NE(RunWith({"remote", path}).out.find(";NET=Caf\u00e9;"), std::string::npos);
}

TEST_F(FormCommandsTest, SetRefusesACharacterOutsideTheCodePageAndSavesNothing) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const std::string before = ReadAll(path);
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"set", path, "NET", "\u0101"},
         "tarvik-cli: NUMBER: the character '\u0101' (U+0101) cannot be stored: only "
         "Windows-1252 text is allowed\n"},
        {{"set", path, "N\u0101", "1"}, "tarvik-cli: NAME: the character '\u0101'"},
        {{"set", path, "NET", "\xff"}, "tarvik-cli: NUMBER: the text is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.args);
        EXPECT_EQ(run.status, 2) << c.args.back();
        EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
        EXPECT_EQ(ReadAll(path), before) << c.args.back();
    }
}

} // namespace
} // namespace tarvik::cli
