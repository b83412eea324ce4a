#include "editor/core/RecentFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using Files = std::vector<std::string>;

TEST(RecentFilesTest, NewestFirstWithoutRepeatsAndAtMostEight) {
    const Files eight = {"1", "2", "3", "4", "5", "6", "7", "8"};
    struct Case {
        Files before;
        std::string path;
        Files after;
    };
    const std::vector<Case> cases = {
        {{}, "a.sim", {"a.sim"}},
        {{"a.sim", "b.sim"}, "b.sim", {"b.sim", "a.sim"}},
        {{"a.sim", "b.sim"}, "a.sim", {"a.sim", "b.sim"}},
        {eight, "9", {"9", "1", "2", "3", "4", "5", "6", "7"}},
        {eight, "8", {"8", "1", "2", "3", "4", "5", "6", "7"}},
        // An empty name never enters, and a list read from hand-edited settings loses its
        // blank entries.
        {{"a.sim"}, "", {"a.sim"}},
        {{"", "a.sim", ""}, "b.sim", {"b.sim", "a.sim"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithRecentFile(c.before, c.path), c.after) << c.path;
    }
    EXPECT_EQ(WithoutRecentFile({"a.sim", "b.sim", "c.sim"}, "b.sim"), (Files{"a.sim", "c.sim"}));
}

} // namespace
} // namespace tarvik
