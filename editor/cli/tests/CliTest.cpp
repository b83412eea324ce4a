#include "editor/cli/CliCommand.h"
#include "editor/cli/tests/CliRun.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
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

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

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

TEST_F(CliTest, HelpVersionAndUnknownCommands) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outStart; // what standard output begins with
        std::string err;
    };
    const std::string editUsage = "Usage: tarvik-cli edit [--model 0|1|2] [--strict] FILE.sim";
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: tarvik-cli COMMAND [ARGUMENT...]\n", ""},
        {{"-h"}, 0, "Usage: tarvik-cli COMMAND [ARGUMENT...]\n", ""},
        {{"help"}, 0, "Usage: tarvik-cli COMMAND [ARGUMENT...]\n", ""},
        {{"help", "edit"}, 0, editUsage, ""},
        {{"edit", "--help"}, 0, editUsage, ""},
        {{"edit", "a.sim", "EDRed=5", "-h"}, 0, editUsage, ""},
        {{"help", "nothing"},
         2,
         "",
         "tarvik-cli: help: no command 'nothing'\nUsage: tarvik-cli help [COMMAND]\n"},
        {{"frobnicate"},
         2,
         "",
         "tarvik-cli: no command 'frobnicate'\nRun 'tarvik-cli --help' for the list of "
         "commands.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = RunWith(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.out.starts_with(c.outStart)) << run.out;
        EXPECT_EQ(run.err, c.err);
    }

    const CliRun none = RunWith({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(none.err.starts_with("tarvik-cli: no command given\nUsage: tarvik-cli"));

    const CliRun version = RunWith({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(
        version.out,
        std::regex("tarvik-cli [0-9]+\\.[0-9]+\nbuilt with Quenlib [0-9]+\\.[0-9]+\n")))
        << version.out;
}

// Scripts rely on the values, and help2man makes the manual page from the text.
TEST_F(CliTest, UsageListsEveryCommandAndExitStatus) {
    const std::string usage = RunWith({"--help"}).out;
    for (const CliCommand* command : CliCommands()) {
        EXPECT_TRUE(Contains(usage, "\n  " + std::string(command->name) + "  ")) << command->name;
    }
    for (const std::string status :
         {"\nExit status:\n   0  success", "\n   1  diff: a write would change the card",
          "\n   2  bad arguments", "\n   3  an edit was cut", "\n  11  no card in the reader",
          "\n  12  the card's PIN is blocked\n"}) {
        EXPECT_TRUE(Contains(usage, status)) << status;
    }
    EXPECT_TRUE(Contains(usage, "\nOptions:\n  -h, --help  "));
}

TEST_F(CliTest, EveryCommandHasItsOwnHelp) {
    for (const CliCommand* command : CliCommands()) {
        SCOPED_TRACE(command->name);
        const CliRun run = RunWith({"help", std::string(command->name)});
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(run.out.starts_with("Usage: tarvik-cli " + std::string(command->name)));
        EXPECT_FALSE(command->summary.empty());
        EXPECT_FALSE(command->description.empty());
        for (const ArgOption& option : command->options) {
            EXPECT_TRUE(Contains(run.out, "\n  " + std::string(option.name))) << option.name;
        }
        EXPECT_TRUE(Contains(run.out, "\n  -h, --help  "));
        // A terminal of 80 columns, and the manual page, take each line whole.
        for (const auto& line : Lines(run.out)) {
            EXPECT_LE(line.size(), 80u) << line;
        }
        EXPECT_EQ(RunWith({std::string(command->name), "--help"}).out, run.out);
    }
    for (const auto& line : Lines(RunWith({"--help"}).out)) {
        EXPECT_LE(line.size(), 80u) << line;
    }
}

TEST_F(CliTest, BadArgumentsSayWhatIsWrongAndShowTheUsage) {
    const std::string path = folder.file("a.sim");
    struct Case {
        std::vector<std::string> args;
        std::string problem; // the first line of the message
    };
    const std::vector<Case> cases = {
        {{"new"}, "tarvik-cli: new: missing operand"},
        {{"new", path, "--model", "3"}, "tarvik-cli: new: --model takes 0|1|2, not '3'"},
        {{"new", path, "--model=x"}, "tarvik-cli: new: --model takes 0|1|2, not 'x'"},
        {{"new", path, "--model"}, "tarvik-cli: new: --model needs a value (0|1|2)"},
        {{"new", path, "b.sim"}, "tarvik-cli: new: extra operand 'b.sim'"},
        {{"new", "--frob", path}, "tarvik-cli: new: unknown option '--frob'"},
        {{"new", "-x", path}, "tarvik-cli: new: unknown option '-x'"},
        {{"show", "--json=yes", path}, "tarvik-cli: show: --json takes no value"},
        {{"set", path}, "tarvik-cli: set: missing operand"},
        {{"set", path, "A", "1", "2"}, "tarvik-cli: set: extra operand '2'"},
        {{"readers", "x"}, "tarvik-cli: readers: extra operand 'x'"},
        {{"read-sim", path, "--reader="}, "tarvik-cli: read-sim: --reader needs a value (NAME)"},
        {{"write-sim", path, "--model", "1"}, "tarvik-cli: write-sim: unknown option '--model'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = RunWith(c.args);
        EXPECT_EQ(run.status, 2);
        const auto lines = Lines(run.err);
        ASSERT_EQ(lines.size(), 2u) << run.err;
        EXPECT_EQ(lines[0], c.problem);
        const std::string arguments(FindCommand(c.args[0])->arguments);
        EXPECT_EQ(lines[1],
                  "Usage: tarvik-cli " + c.args[0] + (arguments.empty() ? "" : " ") + arguments);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    // "--" ends the options: a file may be called "--model".
    const CliRun dashed = RunWith({"new", "--", folder.file("--model")});
    EXPECT_EQ(dashed.status, 0) << dashed.err;
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
    // The leading ";" counts: seven entries of 20 characters fill the first block to 141.
    for (int i = 0; i < 7; ++i) {
        expected += "TR00" + std::to_string(i) + "=1234567890123;";
    }
    expected += "\n\nTR007=1234567890123;TR008=1234567890123;TR009=1234567890123;\n";
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

// "-" reads standard input, or writes standard output where the command only writes the
// file, so that commands compose in pipes.
TEST_F(CliTest, DashIsStandardInputAndOutput) {
    const CliRun made = RunWith({"new", "-", "--model", "0"});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, ScrambleText("SIM-03\r\nSIM-PRG\r\n") + "\r\n");

    const CliRun set = RunWith({"set", "-", "TL1", "555"}, made.out);
    ASSERT_EQ(set.status, 0) << set.err;
    const CliRun edited = RunWith({"edit", "-", "CBRed=1", "EDRed=7"}, set.out);
    ASSERT_EQ(edited.status, 0) << edited.err;
    EXPECT_EQ(RunWith({"show", "-"}, edited.out).out, "SIM-03\nSIM-PRG\nRED=7\nTL1=555\n");
    EXPECT_EQ(RunWith({"remote", "-"}, edited.out).out, ";RED=7;TL1=555;\n");
    EXPECT_TRUE(Contains(RunWith({"fields", "-"}, edited.out).out, "\nEDRed=7\n"));
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST_F(CliTest, FileErrorsNameTheFileAndTheSystemsReason) {
    const std::string good = WritePlain("good.sim", "SIM-05\r\nSIM-PRG\r\nTL1=1\r\n");
    const std::string goodBytes = ReadAll(good);
    const std::string bad = folder.file("bad.sim");
    WriteAll(bad, "this is not a program file");
    const std::string missing = folder.file("missing.sim");
    const std::string below = folder.file("good.sim/child.sim"); // parent is a file
    const std::string inMissing = folder.file("none/new.sim");

    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"show", bad}, "", "tarvik-cli: " + bad + ": not a program file\n"},
        {{"show", "-"}, "12345", "tarvik-cli: standard input: not a program file\n"},
        {{"show", missing}, "", "tarvik-cli: " + missing + ": No such file or directory\n"},
        {{"show", folder.path().string()},
         "",
         "tarvik-cli: " + folder.path().string() + ": Is a directory\n"},
        {{"remote", bad}, "", "tarvik-cli: " + bad + ": not a program file\n"},
        {{"remote", "-"}, "", "tarvik-cli: standard input: not a program file\n"},
        {{"fields", missing}, "", "tarvik-cli: " + missing + ": No such file or directory\n"},
        {{"fields", bad}, "", "tarvik-cli: " + bad + ": not a program file\n"},
        {{"edit", bad, "EDRed=1"}, "", "tarvik-cli: " + bad + ": not a program file\n"},
        {{"set", bad, "TL1", "2"}, "", "tarvik-cli: " + bad + ": not a program file\n"},
        {{"set", missing, "TL1", "2"},
         "",
         "tarvik-cli: " + missing + ": No such file or directory\n"},
        {{"new", below}, "", "tarvik-cli: " + below + ": Not a directory\n"},
        {{"new", inMissing}, "", "tarvik-cli: " + inMissing + ": No such file or directory\n"},
        {{"write-sim", missing}, "", "tarvik-cli: " + missing + ": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = RunWith(c.args, c.input);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(ReadAll(good), goodBytes);
    EXPECT_EQ(ReadAll(bad), "this is not a program file");
    // Nothing else appeared in the folder (no temporary files either).
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAFailure) {
    const std::string path = WritePlain("out.sim", "SIM-05\r\nSIM-PRG\r\nTL1=1\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> cases = {
        {{"show", path}, 2}, {{"remote", path}, 2},          {{"--help"}, 2},
        {{"new", "-"}, 2},   {{"set", path, "RED", "3"}, 0}, // prints nothing, so nothing can fail
    };
    for (const auto& c : cases) {
        const std::vector<std::string_view> views(c.args.begin(), c.args.end());
        FailingBuffer buffer;
        std::istringstream in;
        std::ostream out(&buffer);
        std::ostringstream err;
        CliIo io{in, out, err};
        EXPECT_EQ(RunCli(views, io), c.status) << c.args[0];
        EXPECT_EQ(err.str(), c.status == 0 ? "" : "tarvik-cli: standard output: write error\n")
            << c.args[0];
    }
}

} // namespace
} // namespace tarvik::cli
