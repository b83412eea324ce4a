#include "editor/cli/tests/CliRun.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

// The words "tarvik-cli __complete" offers for a command line whose last word is being
// completed.
TEST(CompletionTest, OffersCommandsOptionsValuesAndFiles) {
    struct Case {
        std::vector<std::string> words;
        std::string offered;
    };
    const std::vector<Case> cases = {
        {{""},
         "help\n--help\n--version\nnew\nshow\nremote\nset\nfields\nedit\nread-sim\nwrite-sim\n"
         "diff\nbackups\nrestore\nreaders\ncard\nmodems\nsend-remote\nsheet\n"},
        {{"re"}, "remote\nread-sim\nrestore\nreaders\n"},
        {{"restore", "--a"}, "--any-card\n"},
        {{"--v"}, "--version\n"},
        {{"help", "wr"}, "write-sim\n"},
        {{"help", "edit", ""}, ""},
        {{"show", ""}, ":files\n"},
        {{"show", "a.sim", ""}, ""},
        {{"show", "-"}, "--json\n--help\n"},
        {{"edit", "--"}, "--model\n--strict\n--help\n"},
        {{"edit", "--model", ""}, "0\n1\n2\n"},
        {{"edit", "--model=1"}, "--model=1\n"},
        {{"edit", "--model", "1", ""}, ":files\n"},
        {{"edit", "a.sim", "EDRe"}, "EDRed=\n"},
        {{"edit", "a.sim", "EDRed=1", "SG"}, "SGRamp[\nSGTR[\n"},
        {{"edit", "--", "-a.sim", "CBDev"}, "CBDevice=\n"},
        {{"set", "a.sim", ""}, ""},
        {{"readers", ""}, ""},
        {{"send-remote", "a.sim", "--"},
         "--port\n--to\n--pin\n--wait\n--from\n--register-timeout\n--help\n"},
        {{"send-remote", "--wait", ""}, ""},
        {{"send-remote", "--port", "/tmp/virtual-m"}, "/tmp/virtual-modem\n"},
        {{"nothing", ""}, ""},
    };
    // The run command's virtual modem is offered among the serial ports.
    ::setenv("TARVIK_MODEM_PORT", "/tmp/virtual-modem", 1);
    for (const auto& c : cases) {
        std::vector<std::string> args = {"__complete"};
        args.insert(args.end(), c.words.begin(), c.words.end());
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, c.offered) << ::testing::PrintToString(c.words);
    }
    ::unsetenv("TARVIK_MODEM_PORT");
}

} // namespace
} // namespace tarvik::cli
