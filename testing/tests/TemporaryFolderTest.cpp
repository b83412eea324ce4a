#include "testing/TemporaryFolder.h"

#include "testing/FileContents.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

TEST(TemporaryFolderTest, IsEmptyAndApartFromEveryOtherAndGoesWithWhatItHolds) {
    fs::path kept;
    {
        TemporaryFolder one;
        TemporaryFolder two;
        kept = one.path();
        EXPECT_NE(one.path(), two.path());
        EXPECT_TRUE(fs::is_directory(one.path()));
        EXPECT_TRUE(fs::is_empty(one.path()));
        EXPECT_EQ(one.path(), fs::temp_directory_path() / one.path().filename());
        EXPECT_EQ(fs::path(one.file("a.sim")), one.path() / "a.sim");
        // Folders, a read-only file and a folder closed to its owner do not keep it from going.
        fs::create_directories(one.path() / "x" / "y");
        WriteAll(one.path() / "x" / "y" / "z.csv", "1,2\r\n");
        fs::permissions(one.path() / "x" / "y" / "z.csv", fs::perms::owner_read);
        fs::permissions(one.path() / "x", fs::perms::owner_read | fs::perms::owner_exec);
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(FileContentsTest, ReadsBackExactlyTheBytesWritten) {
    TemporaryFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"line ends kept", "a\r\nb\n\r"},
        {"zero bytes and high bytes", std::string("\0\xff\x80", 3)},
    };
    for (const auto& c : cases) {
        WriteAll(folder.path() / "f", "longer contents that a rewrite must not leave behind");
        WriteAll(folder.path() / "f", c.bytes);
        EXPECT_EQ(ReadAll(folder.path() / "f"), c.bytes) << c.name;
    }
    EXPECT_EQ(ReadAll(folder.path() / "missing"), "");
}

} // namespace
} // namespace tarvik::testing
