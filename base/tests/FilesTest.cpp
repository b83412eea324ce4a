// The file operations as every platform sees them; what only POSIX has (modes, owners, links,
// named pipes) is in PosixFilesTest.cpp.
#include "base/Files.h"

#include "base/Places.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik::base {
namespace {

namespace fs = std::filesystem;
using tarvik::testing::ReadAll;
using tarvik::testing::TemporaryFolder;
using tarvik::testing::WriteAll;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FilesTest, AnErrorNamesTheFileAndTheSystemsReason) {
    const FileError missing{"a.sim", std::make_error_code(std::errc::no_such_file_or_directory)};
    EXPECT_EQ(missing.message(), "a.sim: No such file or directory");
    const FileError unnamed{"", MakeFileFault(FileFault::NotRegularFile)};
    EXPECT_EQ(unnamed.message(), "Not a regular file");
}

TEST(FilesTest, FailuresTellWhichFileAndWhy) {
    TemporaryFolder folder;
    WriteAll(folder.file("file.sim"), "old");
    fs::create_directory(folder.path() / "folder");
    struct Case {
        const char* what;
        std::string path;
        bool write;
        std::errc reason;
    };
    const std::vector<Case> cases = {
        {"read a missing file", folder.file("none.sim"), false,
         std::errc::no_such_file_or_directory},
        {"read a folder", folder.file("folder"), false, std::errc::is_a_directory},
        {"write into a missing folder", folder.file("none/x.sim"), true,
         std::errc::no_such_file_or_directory},
        {"write over a folder", folder.file("folder"), true, std::errc::is_a_directory},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = PathFromUtf8(c.path);
        const FileError error =
            c.write ? ReplaceFileContent(path, "new").error() : ReadWholeFile(path).error();
        EXPECT_EQ(error.reason, std::make_error_condition(c.reason)) << error.message();
        EXPECT_EQ(PathFromUtf8(error.path), path);
    }
    EXPECT_EQ(Names(folder.path()), (std::vector<std::string>{"file.sim", "folder"}));
    EXPECT_EQ(ReadAll(folder.file("file.sim")), "old");
}

TEST(FilesTest, ReadsTheWholeFileOrItsStart) {
    TemporaryFolder folder;
    const std::string big(200000, 'x'); // more than one read's buffer
    struct Case {
        std::string content;
        std::size_t limit;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", 10, ""},
        {std::string("a\r\nb\x00\xff", 6), SIZE_MAX, std::string("a\r\nb\x00\xff", 6)},
        {"header\r\nline", 6, "header"},
        {"short", 100, "short"},
        {big, SIZE_MAX, big},
        {big + "y", big.size(), big},
    };
    for (const auto& c : cases) {
        WriteAll(folder.file("f"), c.content);
        const FileResult<std::string> read = c.limit == SIZE_MAX
                                                 ? ReadWholeFile(PathFromUtf8(folder.file("f")))
                                                 : ReadFileStart(folder.path() / "f", c.limit);
        ASSERT_TRUE(read) << read.error().message();
        EXPECT_EQ(*read, c.expected) << c.content.substr(0, 20);
    }
}

TEST(FilesTest, ReplaceLeavesTheNewContentAndNothingElse) {
    struct Case {
        const char* what;
        std::optional<std::string> old;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"a new file", std::nullopt, "new"},
        {"a longer file", std::string(1000, 'o'), "new"},
        {"a shorter file", "old", std::string(70000, 'n')},
        {"nothing", "old", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder;
        if (c.old) {
            WriteAll(folder.file("f.sim"), *c.old);
        }
        const FileResult<void> replaced = ReplaceFileContent(folder.path() / "f.sim", c.bytes);
        ASSERT_TRUE(replaced) << replaced.error().message();
        EXPECT_EQ(ReadAll(folder.file("f.sim")), c.bytes);
        EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"f.sim"});
    }
}

TEST(FilesTest, MakesTheWholeFolderChainAndKeepsWhatIsThere) {
    TemporaryFolder folder;
    WriteAll(folder.file("kept"), "x");
    struct Case {
        fs::path folder;
        bool ok;
    };
    const std::vector<Case> cases = {
        {folder.path() / "a" / "b" / "c", true},
        {folder.path() / "a" / "b", true}, // exists already
        {folder.path(), true},
        {folder.path() / "a" / "d", true},
        {folder.path() / "kept", false}, // a file is in the way
    };
    for (const auto& c : cases) {
        for (const Access access : {Access::Shared, Access::Private}) {
            const FileResult<void> made = MakeFolders(c.folder, access);
            EXPECT_EQ(made.ok(), c.ok) << c.folder;
            EXPECT_EQ(fs::is_directory(c.folder), c.ok) << c.folder;
        }
    }
    EXPECT_EQ(ReadAll(folder.file("kept")), "x");
}

TEST(FilesTest, ANewPrivateFileTakesTheFirstFreeNameAndNeverReplacesOne) {
    TemporaryFolder folder;
    const fs::path store = folder.path() / "data" / "store";
    const auto nameFor = [](int attempt) {
        return "card" + (attempt == 0 ? std::string() : "_" + std::to_string(attempt)) + ".bak";
    };
    const std::vector<std::string> expected = {"card.bak", "card_1.bak", "card_2.bak"};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FileResult<fs::path> stored =
            StoreNewPrivateFile(store, nameFor, "content " + std::to_string(i));
        ASSERT_TRUE(stored) << stored.error().message();
        EXPECT_EQ(stored->filename(), expected[i]);
    }
    EXPECT_EQ(Names(store), expected);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(ReadAll((store / expected[i]).string()), "content " + std::to_string(i));
    }
    // Every name taken: nothing is stored and nothing is left.
    const FileResult<fs::path> full = StoreNewPrivateFile(store, nameFor, "more", 3);
    ASSERT_FALSE(full);
    EXPECT_EQ(full.error().reason, MakeFileFault(FileFault::NoFreeName));
    EXPECT_EQ(Names(store), expected);
}

TEST(FilesTest, AppendsGoToTheEndWhoeverWroteLast) {
    TemporaryFolder folder;
    const fs::path path = folder.path() / "logs" / "today" / "log.csv";
    FileResult<AppendFile> first = AppendFile::openPrivate(path);
    ASSERT_TRUE(first) << first.error().message();
    FileResult<AppendFile> second = AppendFile::openPrivate(path);
    ASSERT_TRUE(second) << second.error().message();
    EXPECT_EQ(*first->size(), 0u);

    struct Step {
        AppendFile* file;
        std::string line;
    };
    const std::vector<Step> steps = {
        {&*first, "one\r\n"}, {&*second, "two\r\n"}, {&*first, "three\r\n"}, {&*second, ""}};
    std::string expected;
    for (const auto& step : steps) {
        ASSERT_TRUE(step.file->append(step.line));
        expected += step.line;
        EXPECT_EQ(*step.file->size(), expected.size());
    }
    EXPECT_EQ(ReadAll(path.string()), expected);

    AppendFile moved = std::move(*first);
    EXPECT_TRUE(moved.append("four\r\n"));
    EXPECT_FALSE(first->append("lost")); // a moved-from file writes nothing
    EXPECT_EQ(ReadAll(path.string()), expected + "four\r\n");
}

TEST(FilesTest, AnAppendFileThatCannotBeOpenedSaysWhy) {
    TemporaryFolder folder;
    WriteAll(folder.file("plain"), "x");
    fs::create_directory(folder.path() / "folder");
    for (const fs::path& path : {folder.path() / "plain" / "log.csv", folder.path() / "folder"}) {
        const FileResult<AppendFile> opened = AppendFile::openPrivate(path);
        ASSERT_FALSE(opened) << path;
        EXPECT_NE(opened.error().message().find(PathToUtf8(folder.path())), std::string::npos)
            << opened.error().message();
    }
}

// XDG base directories (version 0.8 of the freedesktop.org rules): a variable that is unset, empty
// or relative is ignored for the default below HOME.
TEST(FilesTest, XdgFoldersComeFromTheGivenEnvironment) {
    // "/" here, "C:/" on Windows: the values must be absolute where the test runs.
    const std::string root = fs::temp_directory_path().root_path().generic_string();
    const std::string home = root + "home/u";
    struct Case {
        std::map<std::string, std::string> environment;
        std::string data;
        std::string config;
    };
    const std::vector<Case> cases = {
        {{{"HOME", home}}, home + "/.local/share", home + "/.config"},
        {{{"HOME", home}, {"XDG_DATA_HOME", root + "d"}, {"XDG_CONFIG_HOME", root + "c"}},
         root + "d",
         root + "c"},
        {{{"HOME", home}, {"XDG_DATA_HOME", ""}, {"XDG_CONFIG_HOME", ""}},
         home + "/.local/share",
         home + "/.config"},
        {{{"HOME", home}, {"XDG_DATA_HOME", "rel"}, {"XDG_CONFIG_HOME", "rel/c"}},
         home + "/.local/share",
         home + "/.config"},
        {{}, "./.local/share", "./.config"},
        {{{"HOME", ""}}, "./.local/share", "./.config"},
    };
    for (const auto& c : cases) {
        const EnvironmentLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
            const auto found = c.environment.find(std::string(name));
            return found == c.environment.end() ? std::nullopt
                                                : std::optional<std::string>(found->second);
        };
        EXPECT_EQ(XdgDataHome(lookup).generic_string(), c.data);
        EXPECT_EQ(XdgConfigHome(lookup).generic_string(), c.config);
    }
}

TEST(FilesTest, NamesKeepEveryCharacterOfTheirUtf8Text) {
    TemporaryFolder folder;
    const std::string name = "K\xc3\xb6ln \xe2\x82\xac.sim"; // Köln €
    const fs::path path = folder.path() / PathFromUtf8(name);
    ASSERT_TRUE(ReplaceFileContent(path, "bytes"));
    EXPECT_EQ(PathToUtf8(path.filename()), name);
    EXPECT_EQ(*ReadWholeFile(path), "bytes");
    EXPECT_EQ(PathToUtf8(fs::directory_iterator(folder.path())->path().filename()), name);
}

} // namespace
} // namespace tarvik::base
