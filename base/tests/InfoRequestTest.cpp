#include "base/InfoRequest.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(InfoRequestTest, OnlyALoneHelpOrVersionIsAnswered) {
    const ProgramInfo info{"prog", "3.0", "Usage: prog\n"};
    struct Case {
        std::vector<std::string> args;
        bool answered;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"--help"}, true, "Usage: prog\n"},
        {{"--version"}, true, "prog 3.0\n"},
        {{}, false, ""},
        // Words that a program may hand on to what it starts, or read itself.
        {{"/i"}, false, ""},
        {{"-h"}, false, ""},
        {{"--helpful"}, false, ""},
        {{"--HELP"}, false, ""},
        {{"--help", "x"}, false, ""},
        {{"x", "--version"}, false, ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EXPECT_EQ(AnswerInfoRequest(c.args, info, out), c.answered)
            << ::testing::PrintToString(c.args);
        EXPECT_EQ(out.str(), c.out) << ::testing::PrintToString(c.args);
    }
}

} // namespace
} // namespace tarvik
