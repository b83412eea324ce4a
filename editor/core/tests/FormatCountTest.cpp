#include "editor/core/FormatCount.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

TEST(FormatCountTest, PutsTheNumberInAndKeepsEverythingElse) {
    struct Case {
        std::string format;
        int value;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"Wrong PIN! - PIN count is now %d", 2, "Wrong PIN! - PIN count is now 2"},
        {"%d tries left", -1, "-1 tries left"},
        {"100%% sure: %d", 3, "100% sure: 3"},
        {"no number", 5, "no number"},
        // Formats from a language file may be wrong; they never read arguments that
        // are not there.
        {"%s %n %x %d", 7, "%s %n %x 7"},
        {"%d and %d", 1, "1 and %d"},
        {"trailing %", 1, "trailing %"},
        {"", 9, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatCount(c.format, c.value), c.shown) << c.format;
    }
}

} // namespace
} // namespace tarvik
