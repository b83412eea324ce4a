// What the file operations do where POSIX gives more than every platform: modes, owners and
// groups, hard and symbolic links, named pipes.
#include "base/Files.h"
#include "testing/FileContents.h"
#include "testing/OrdinaryUser.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvik::base {
namespace {

namespace fs = std::filesystem;
using tarvik::testing::OrdinaryGroupId;
using tarvik::testing::OrdinaryUserId;
using tarvik::testing::ReadAll;
using tarvik::testing::RunAsOrdinaryUser;
using tarvik::testing::RunningAsSuperuser;
using tarvik::testing::TemporaryFolder;
using tarvik::testing::WriteAll;

const std::string oldBytes = "the old content, longer than the new one will be";
const std::string newBytes = "new";

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

void Own(const fs::path& path, uid_t user, gid_t group) {
    ASSERT_EQ(::lchown(path.c_str(), user, group), 0) << path;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file that the rename of a new file would change in more than its content. The save
// writes it in place instead: same file (inode), same owner, group and mode, and every name
// of it shows the new content.
struct InPlaceCase {
    const char* what;
    bool needsSuperuser; // to give the file to another user
    // Prepares folder/file.sim; the folder belongs to the ordinary user and lets it write.
    std::function<void(const fs::path& folder, const std::string& file)> prepare;
};

TEST(PosixFilesTest, SaveWritesInPlaceWhereARenameWouldChangeMoreThanTheContent) {
    const std::vector<InPlaceCase> cases = {
        {"a folder that takes no new file", false,
         [](const fs::path& folder, const std::string&) {
             fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
         }},
        {"a second hard link", false,
         [](const fs::path& folder, const std::string& file) {
             fs::create_hard_link(file, folder / "other name.sim");
         }},
        {"the file of another user who lets us write it", true,
         [](const fs::path&, const std::string& file) {
             Own(file, 0, 0);
             fs::permissions(file, fs::perms::all & ~fs::perms::owner_exec &
                                       ~fs::perms::group_exec & ~fs::perms::others_exec);
         }},
        {"a group that the new file could not keep", true,
         [](const fs::path&, const std::string& file) { Own(file, OrdinaryUserId(), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsSuperuser && !RunningAsSuperuser()) {
            continue; // only the superuser can give a file away
        }
        TemporaryFolder folder;
        const std::string file = folder.file("file.sim");
        WriteAll(file, oldBytes);
        Own(file, OrdinaryUserId(), OrdinaryGroupId());
        Own(folder.path(), OrdinaryUserId(), OrdinaryGroupId());
        c.prepare(folder.path(), file);
        const struct stat before = StatOf(file);
        const std::vector<std::string> names = Names(folder.path());

        EXPECT_EQ(RunAsOrdinaryUser([&] { return ReplaceFileContent(file, newBytes).ok(); }), true);

        EXPECT_EQ(ReadAll(file), newBytes);
        const struct stat after = StatOf(file);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(Names(folder.path()), names); // no temporary file left, no name lost
        if (before.st_nlink > 1) {
            EXPECT_EQ(ReadAll(folder.file("other name.sim")), newBytes);
        }
        fs::permissions(folder.path(), fs::perms::owner_all); // so that it can be removed
    }
}

TEST(PosixFilesTest, AnOrdinarySaveStillReplacesTheFileWhole) {
    TemporaryFolder folder;
    const std::string file = folder.file("file.sim");
    WriteAll(file, oldBytes);
    ::chmod(file.c_str(), 0640);
    const struct stat before = StatOf(file);
    // A reader that opened the file before the save keeps seeing a whole old file.
    const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    ASSERT_TRUE(ReplaceFileContent(file, newBytes).ok());

    EXPECT_EQ(ReadAll(file), newBytes);
    EXPECT_NE(StatOf(file).st_ino, before.st_ino);
    EXPECT_EQ(StatOf(file).st_mode, before.st_mode);
    std::string old(oldBytes.size() + 1, '\0');
    EXPECT_EQ(::pread(reader, old.data(), old.size(), 0), static_cast<ssize_t>(oldBytes.size()));
    EXPECT_EQ(old.substr(0, oldBytes.size()), oldBytes);
    ::close(reader);
    EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"file.sim"});
}

TEST(PosixFilesTest, AFileWeMayNotWriteIsRefusedAndKept) {
    TemporaryFolder folder;
    Own(folder.path(), OrdinaryUserId(), OrdinaryGroupId()); // the folder would take a rename
    const std::string file = folder.file("file.sim");
    WriteAll(file, oldBytes);
    ::chmod(file.c_str(), 0444);
    Own(file, RunningAsSuperuser() ? 0 : ::geteuid(), 0);

    EXPECT_EQ(RunAsOrdinaryUser([&] { return ReplaceFileContent(file, newBytes).ok(); }), false);
    EXPECT_EQ(ReadAll(file), oldBytes);
    EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"file.sim"});
}

TEST(PosixFilesTest, ASaveThroughALinkWritesWhereTheLinkPointsAndKeepsTheLink) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links; // name, what it points to
        std::string save;                                       // the name saved to
        std::string target;                                     // the file that gets the bytes
    };
    const std::vector<Case> cases = {
        {"an existing target", {{"link.sim", "target.sim"}}, "link.sim", "target.sim"},
        {"a target that does not exist yet",
         {{"link.sim", "sub/new.sim"}},
         "link.sim",
         "sub/new.sim"},
        {"a chain of links, the last one dangling",
         {{"first.sim", "sub/second.sim"}, {"sub/second.sim", "../made.sim"}},
         "first.sim",
         "made.sim"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder;
        fs::create_directory(folder.path() / "sub");
        if (c.target == "target.sim") {
            WriteAll(folder.file("target.sim"), oldBytes);
        }
        for (const auto& [name, pointsTo] : c.links) {
            fs::create_symlink(pointsTo, folder.path() / name);
        }

        ASSERT_TRUE(ReplaceFileContent(folder.file(c.save), newBytes).ok());

        EXPECT_EQ(ReadAll(folder.file(c.target)), newBytes);
        for (const auto& [name, pointsTo] : c.links) {
            EXPECT_TRUE(fs::is_symlink(folder.path() / name)) << name;
            EXPECT_EQ(fs::read_symlink(folder.path() / name), pointsTo) << name;
        }
    }
}

TEST(PosixFilesTest, ALoopOfLinksIsRefusedAndCreatesNothing) {
    TemporaryFolder folder;
    fs::create_symlink("b.sim", folder.path() / "a.sim");
    fs::create_symlink("a.sim", folder.path() / "b.sim");
    EXPECT_FALSE(ReplaceFileContent(folder.file("a.sim"), newBytes).ok());
    EXPECT_EQ(Names(folder.path()), (std::vector<std::string>{"a.sim", "b.sim"}));
    EXPECT_TRUE(fs::is_symlink(folder.path() / "a.sim"));
}

// A failure tells why, in the system's words where the system gave one, so that a command
// line can say it.
TEST(PosixFilesTest, FailuresTellWhy) {
    TemporaryFolder folder;
    WriteAll(folder.file("file.sim"), oldBytes);
    fs::create_directory(folder.path() / "folder");
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    fs::create_symlink("loop.sim", folder.path() / "loop.sim");
    struct Case {
        const char* what;
        std::string path;
        bool write;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"read a missing file", folder.file("none.sim"), false, "No such file or directory"},
        {"read a folder", folder.file("folder"), false, "Is a directory"},
        {"read a named pipe", folder.file("pipe"), false, "Not a regular file"},
        {"read below a file", folder.file("file.sim/x.sim"), false, "Not a directory"},
        {"write into a missing folder", folder.file("none/x.sim"), true,
         "No such file or directory"},
        {"write below a file", folder.file("file.sim/x.sim"), true, "Not a directory"},
        {"write over a folder", folder.file("folder"), true, "Is a directory"},
        // The rename would put a regular file in the place of the pipe (or of a device).
        {"write over a named pipe", folder.file("pipe"), true, "Not a regular file"},
        {"write through a loop of links", folder.file("loop.sim"), true,
         "Too many levels of symbolic links"},
        {"write to no name", "", true, "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FileError error =
            c.write ? ReplaceFileContent(c.path, newBytes).error() : ReadWholeFile(c.path).error();
        EXPECT_EQ(error.reason.message(), c.reason);
    }
    struct stat pipe {};
    EXPECT_EQ(::lstat(folder.file("pipe").c_str(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
    EXPECT_TRUE(ReadWholeFile(folder.file("file.sim")));
    EXPECT_TRUE(ReplaceFileContent(folder.file("file.sim"), newBytes));
}

// Files that hold customers' numbers are their owner's alone, whatever the umask lets
// others have: a new private file is 0600 and every folder made for it 0700; a shared one
// follows the umask (POSIX.1-2017 open(), mkdir()). Folders that exist keep their mode.
TEST(PosixFilesTest, PrivateFilesAndFoldersAreTheOwnersAlone) {
    const mode_t oldMask = ::umask(0);
    struct Case {
        const char* what;
        // Creates something below the folder; gives the file made, if any.
        std::function<std::optional<fs::path>(const fs::path& folder)> make;
        std::vector<std::pair<std::string, mode_t>> modes; // relative path, expected mode
    };
    const std::vector<Case> cases = {
        {"a stored file",
         [](const fs::path& folder) -> std::optional<fs::path> {
             return *StoreNewPrivateFile(
                 folder / "a" / "b", [](int) { return std::string("x.bak"); }, "bytes");
         },
         {{"a", 0700}, {"a/b", 0700}, {"a/b/x.bak", 0600}}},
        {"an append file",
         [](const fs::path& folder) -> std::optional<fs::path> {
             FileResult<AppendFile> log = AppendFile::openPrivate(folder / "a" / "log.csv");
             EXPECT_TRUE(log->append("line\r\n"));
             return log->path();
         },
         {{"a", 0700}, {"a/log.csv", 0600}}},
        {"an append file in a folder that exists",
         [](const fs::path& folder) -> std::optional<fs::path> {
             fs::create_directory(folder / "open");
             fs::permissions(folder / "open", fs::perms::all);
             return AppendFile::openPrivate(folder / "open" / "log.csv")->path();
         },
         {{"open", 0777}, {"open/log.csv", 0600}}},
        {"private folders",
         [](const fs::path& folder) -> std::optional<fs::path> {
             EXPECT_TRUE(MakeFolders(folder / "p" / "q", Access::Private));
             return std::nullopt;
         },
         {{"p", 0700}, {"p/q", 0700}}},
        {"shared folders",
         [](const fs::path& folder) -> std::optional<fs::path> {
             EXPECT_TRUE(MakeFolders(folder / "s" / "t", Access::Shared));
             return std::nullopt;
         },
         {{"s", 0777}, {"s/t", 0777}}},
        {"a replaced new file",
         [](const fs::path& folder) -> std::optional<fs::path> {
             EXPECT_TRUE(ReplaceFileContent(folder / "new.sim", "bytes"));
             return folder / "new.sim";
         },
         {{"new.sim", 0666}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder folder;
        c.make(folder.path());
        for (const auto& [relative, mode] : c.modes) {
            EXPECT_EQ(StatOf((folder.path() / relative).string()).st_mode & 07777, mode)
                << relative;
        }
    }
    ::umask(oldMask);
}

TEST(PosixFilesTest, ReplaceKeepsTheModeOfTheFileItReplaces) {
    for (const mode_t mode : {0600, 0640, 0644, 0660, 0604}) {
        TemporaryFolder folder;
        const std::string file = folder.file("file.sim");
        WriteAll(file, oldBytes);
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        ASSERT_TRUE(ReplaceFileContent(file, newBytes));
        EXPECT_EQ(StatOf(file).st_mode & 07777, mode) << std::oct << mode;
        EXPECT_EQ(ReadAll(file), newBytes);
    }
}

TEST(PosixFilesTest, AnAppendFileIsARegularFile) {
    TemporaryFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    const FileResult<AppendFile> opened = AppendFile::openPrivate(folder.file("pipe"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().reason, MakeFileFault(FileFault::NotRegularFile));
}

} // namespace
} // namespace tarvik::base
