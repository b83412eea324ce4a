#include "editor/cli/CliCommand.h"
#include "editor/cli/tests/CliRun.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "program/tests/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using testing::ReadAll;
using testing::TemporaryFolder;
using testing::WriteAll;

// Output that goes nowhere: every write fails, as on a full disk.
class FailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

class CliTest : public ::testing::Test {
protected:
    // Writes a program file with the given plain content.
    std::string WritePlain(const std::string& name, const std::string& plain) {
        const std::string path = folder.file(name);
        WriteScrambled(path, plain);
        return path;
    }

    TemporaryFolder folder;
};

TEST_F(CliTest, HelpAndMissingArgumentsPrintUsage) {
    for (const std::string flag : {"--help", "-h"}) {
        const CliRun run = RunWith({flag});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.starts_with("Usage: tarvik-cli COMMAND")) << run.out;
        for (const std::string command : {"new", "show", "remote", "set"}) {
            EXPECT_NE(run.out.find("\n  " + command + " "), std::string::npos) << command;
        }
        // Scripts rely on the values: each status is listed with its number.
        for (const std::string status :
             {"\n   0  success", "\n   2  bad arguments", "\n   3  an edit was cut",
              "\n  11  no card in the reader", "\n  12  the card's PIN is blocked"}) {
            EXPECT_NE(run.out.find(status), std::string::npos) << status;
        }
        EXPECT_EQ(run.err, "");
    }
    const CliRun none = RunWith({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.err.starts_with("Usage: tarvik-cli")) << none.err;
    EXPECT_EQ(none.out, "");

    const CliRun commandHelp = RunWith({"set", "--help"});
    EXPECT_EQ(commandHelp.status, 0);
    EXPECT_EQ(commandHelp.out, "usage: tarvik-cli set FILE.sim NAME [NUMBER]\n");
}

TEST_F(CliTest, NewWritesAnEmptyProgramOfTheChosenModel) {
    struct Case {
        std::vector<std::string> options;
        std::string modelLine;
    };
    const std::vector<Case> cases = {
        {{}, "SIM-05"},
        {{"--model", "0"}, "SIM-03"},
        {{"--model=1"}, "SIM-04"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file("new.sim");
        std::vector<std::string> args = {"new", path};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadAll(path), ScrambleText(c.modelLine + "\r\nSIM-PRG\r\n") + "\r\n");
    }
}

TEST_F(CliTest, ShowPrintsThePlainDocumentAsStored) {
    const std::string path =
        WritePlain("show.sim", "SIM-04\r\nfirst note\r\nSIM-PRG\r\nTL1=1\r\nRED=3\r\n");
    const CliRun run = RunWith({"show", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "SIM-04\nfirst note\nSIM-PRG\nTL1=1\nRED=3\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, RemotePrintsBlocksSeparatedByAnEmptyLine) {
    std::string plain = "SIM-05\r\nSIM-PRG\r\nnot a keyword\r\n";
    for (int i = 0; i < 10; ++i) {
        plain += "TR00" + std::to_string(i) + "=1234567890123\r\n";
    }
    const CliRun run = RunWith({"remote", WritePlain("remote.sim", plain)});
    EXPECT_EQ(run.status, 0);
    std::string expected = ";";
    for (int i = 0; i < 8; ++i) {
        expected += "TR00" + std::to_string(i) + "=1234567890123;";
    }
    expected += "\n\nTR008=1234567890123;TR009=1234567890123;\n";
    EXPECT_EQ(run.out, expected);

    const CliRun empty = RunWith({"remote", WritePlain("empty.sim", "SIM-05\r\nSIM-PRG\r\n")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

TEST_F(CliTest, SetChangesOneEntryAndKeepsModelAndNotes) {
    const std::string path =
        WritePlain("set.sim", "SIM-03\r\nnote\r\nSIM-PRG\r\nMIC=5\r\nTL2=555\r\n");
    CliRun run = RunWith({"set", path, "TL2C", "+39 02 123"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(RunWith({"show", path}).out, "SIM-03\nnote\nSIM-PRG\nMIC=5\nTL2C=0039 02 123\n");

    run = RunWith({"set", path, "MIC"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(RunWith({"show", path}).out, "SIM-03\nnote\nSIM-PRG\nTL2C=0039 02 123\n");
}

TEST_F(CliTest, ErrorsPrintTheirMessageAndWriteNothing) {
    const std::string good = WritePlain("good.sim", "SIM-05\r\nSIM-PRG\r\nTL1=1\r\n");
    const std::string goodBytes = ReadAll(good);
    const std::string bad = folder.file("bad.sim");
    WriteAll(bad, "this is not a program file");
    const std::string missing = folder.file("missing.sim");
    const std::string blocked = folder.file("good.sim/child.sim"); // parent is a file

    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"show", bad}, "Invalid file format\n"},
        {{"remote", bad}, "Invalid file format\n"},
        {{"set", bad, "TL1", "2"}, "Invalid file format\n"},
        {{"show", missing}, "DISK ERROR\n"},
        {{"set", missing, "TL1", "2"}, "DISK ERROR\n"},
        {{"new", blocked}, "DISK ERROR\n"},
        {{"new", missing, "--model", "3"}, "usage: tarvik-cli new FILE.sim [--model 0|1|2]\n"},
        {{"new", missing, "--model"}, "usage: tarvik-cli new FILE.sim [--model 0|1|2]\n"},
        {{"new", missing, "extra.sim"}, "usage: tarvik-cli new FILE.sim [--model 0|1|2]\n"},
        {{"new"}, "usage: tarvik-cli new FILE.sim [--model 0|1|2]\n"},
        {{"show"}, "usage: tarvik-cli show FILE.sim\n"},
        {{"remote", good, good}, "usage: tarvik-cli remote FILE.sim\n"},
        {{"set", good}, "usage: tarvik-cli set FILE.sim NAME [NUMBER]\n"},
        {{"set", good, "TL1", "2", "3"}, "usage: tarvik-cli set FILE.sim NAME [NUMBER]\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.args);
        EXPECT_EQ(run.status, 2) << c.args[0];
        EXPECT_EQ(run.err, c.err) << c.args[0];
        EXPECT_EQ(run.out, "") << c.args[0];
    }
    EXPECT_EQ(ReadAll(good), goodBytes);
    EXPECT_EQ(ReadAll(bad), "this is not a program file");
    EXPECT_FALSE(std::filesystem::exists(missing));
    // Nothing else appeared in the folder (no temporary files either).
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);

    const CliRun unknown = RunWith({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command frobnicate"), std::string::npos);
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
    const std::string path = WritePlain("out.sim", "SIM-05\r\nSIM-PRG\r\nTL1=1\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases = {
        {{"show", path}, 2},
        {{"remote", path}, 2},
        {{"--help"}, 2},
        {{"set", path, "RED", "3"}, 0}, // prints nothing, so nothing can fail
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> views(c.args.begin(), c.args.end());
        FailingBuffer buffer;
        std::ostream out(&buffer);
        std::ostringstream err;
        EXPECT_EQ(RunCli(views, out, err), c.status) << c.args[0];
        EXPECT_EQ(err.str(), c.status == 0 ? "" : "DISK ERROR\n") << c.args[0];
    }
}

} // namespace
} // namespace tarvik::cli
