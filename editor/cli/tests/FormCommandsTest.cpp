#include "editor/cli/CliCommand.h"
#include "editor/cli/tests/CliRun.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "program/tests/TemporaryFolder.h"

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

TEST_F(FormCommandsTest, FieldsRejectsBadArgumentsAndFiles) {
    EXPECT_EQ(RunWith({"fields"}).status, 2);
    EXPECT_EQ(RunWith({"fields", folder.file("none.sim"), "--model", "3"}).status, 2);
    const CliRun missing = RunWith({"fields", folder.file("none.sim")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("DISK ERROR"), std::string::npos);
    EXPECT_EQ(missing.out, "");
    WriteAll(folder.file("bad.sim"), "999\r\n");
    const CliRun bad = RunWith({"fields", folder.file("bad.sim")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("Invalid file format"), std::string::npos);
}

TEST_F(FormCommandsTest, EditAppliesUserEditsInOrderAndSaves) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const CliRun run = RunWith({"edit", path, "CBTl2=1", "EDTl2=+39 1", "CBRed=1", "EDRed=7",
                                "CBOp0=7", "SGRamp[1][0]=+39123456789", "SGRamp[1][1]=1",
                                "SGRamp[1][3]= ", "SGTR[43]=555", "EDLk4=1-2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Plain(path), "SIM-05\r\nnote\r\nSIM-PRG\r\nLK4.1-2=0\r\nOP1=241\r\nRED=7\r\n"
                           "TL2C=00391\r\nRR23456789:5=0039123456789\r\nTR042=555\r\n");
}

TEST_F(FormCommandsTest, EditRefusesReadOnlyFieldAndWritesNothing) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const std::string before = ReadAll(path);
    const CliRun run = RunWith({"edit", path, "EDTl1=5", "EDLanet=02"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("EDLanet"), std::string::npos);
    EXPECT_EQ(ReadAll(path), before);

    const CliRun allowed = RunWith({"edit", path, "--model", "0", "CBLanet=1", "EDLanet=02"});
    ASSERT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(Plain(path), "SIM-03\r\nnote\r\nSIM-PRG\r\nLANET=02\r\nTL2=555\r\n");
}

TEST_F(FormCommandsTest, EditRefusesMalformedEditsAndWritesNothing) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const std::string before = ReadAll(path);
    for (const char* edit :
         {"EDNothing=1", "CBRed=2", "CBTl0=9", "CBTl0=x", "SGRamp[0][0]=1", "SGRamp[1][5]=1",
          "SGRamp[1]=1", "SGTR[1001]=1", "SGTR[x]=1", "MemoSim=TL1=1", "EDTl1"}) {
        const CliRun run = RunWith({"edit", path, "EDTl1=5", edit});
        EXPECT_EQ(run.status, 2) << edit;
        EXPECT_FALSE(run.err.empty()) << edit;
        EXPECT_EQ(ReadAll(path), before) << edit;
    }
    EXPECT_EQ(RunWith({"edit", path}).status, 2);
}

// Arguments and output are UTF-8; the program's text is Windows-1252, one byte a character,
// so a length limit counts characters.
TEST_F(FormCommandsTest, TextCrossesTheCommandLineAsUtf8) {
    const std::string path = Write("a.sim", 2, {});
    CliRun run = RunWith({"edit", path, "EDSms1=a\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9",
                          "EDSms2=\u20ac\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9"
                          "\u00e9\u00e9\u00e9\u00e9\u00e9"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The second text has 15 characters: the field keeps 14 whole ones.
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

TEST_F(FormCommandsTest, CharacterOutsideTheCodePageIsRefusedAndNothingSaved) {
    const std::string path = Write("a.sim", 2, {"TL2=555"});
    const std::string before = ReadAll(path);
    const std::vector<std::vector<std::string>> commands = {
        {"edit", path, "EDTl1=5", "EDSms1=\u0101"},
        {"edit", path, "EDTl1=5", "SGTR[1]=5\u2028"},
        {"edit", path, "EDNet=\xff"}, // not UTF-8 at all
        {"set", path, "NET", "\u0101"},
        {"set", path, "N\u0101", "1"},
    };
    for (const auto& command : commands) {
        const CliRun run = RunWith(command);
        EXPECT_EQ(run.status, 2) << command.back();
        EXPECT_NE(run.err.find("tarvik-cli: the "), std::string::npos) << run.err;
        EXPECT_EQ(ReadAll(path), before) << command.back();
    }
    EXPECT_NE(RunWith({"set", path, "NET", "\u0101"}).err.find("(U+0101) cannot be stored"),
              std::string::npos);
}

} // namespace
} // namespace tarvik::cli
