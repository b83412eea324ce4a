#include "base/HelperProgram.h"

#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

class HelperProgramTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root_ / "bin"); }
    void Touch(const fs::path& relative) {
        fs::create_directories((root_ / relative).parent_path());
        std::ofstream(root_ / relative) << "#!/bin/sh\n";
    }
    testing::TemporaryFolder folder_;
    const fs::path root_ = folder_.path();
};

TEST_F(HelperProgramTest, BesideTheProgramComesBeforeTheInstalledHelperFolder) {
    struct Case {
        std::vector<std::string> files;
        std::string expected; // relative to the root; empty: not found
    };
    const std::vector<Case> cases = {
        {{"bin/setup"}, "bin/setup"},
        {{"lib/tarvik/setup"}, "lib/tarvik/setup"},
        {{"bin/setup", "lib/tarvik/setup"}, "bin/setup"},
        {{}, ""},
        // A folder of that name is no program; another helper's file is not this one.
        {{"bin/setup/x", "lib/tarvik/other"}, ""},
    };
    for (const Case& c : cases) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "bin");
        for (const std::string& file : c.files) {
            Touch(file);
        }
        const auto found = FindHelperProgram(root_ / "bin", "setup");
        if (c.expected.empty()) {
            EXPECT_FALSE(found) << *found;
        } else {
            ASSERT_TRUE(found) << c.expected;
            EXPECT_EQ(*found, (root_ / c.expected).lexically_normal());
        }
    }
}

TEST_F(HelperProgramTest, AnUnknownProgramFolderFindsNothing) {
    EXPECT_FALSE(FindHelperProgram(fs::path(), "setup"));
}

TEST_F(HelperProgramTest, RunningProgramFolderHoldsThisTest) {
    const fs::path folder = RunningProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(fs::is_directory(folder));
}

} // namespace
} // namespace tarvik
