#include "program/FileBytes.h"

#include "program/tests/OrdinaryUser.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using testing::OrdinaryGroupId;
using testing::OrdinaryUserId;
using testing::ReadAll;
using testing::RunAsOrdinaryUser;
using testing::RunningAsSuperuser;
using testing::TemporaryFolder;
using testing::WriteAll;

const std::string kOld = "the old content, longer than the new one will be";
const std::string kNew = "new";

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

TEST(FileBytesTest, SaveWritesInPlaceWhereARenameWouldChangeMoreThanTheContent) {
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
        WriteAll(file, kOld);
        Own(file, OrdinaryUserId(), OrdinaryGroupId());
        Own(folder.path(), OrdinaryUserId(), OrdinaryGroupId());
        c.prepare(folder.path(), file);
        const struct stat before = StatOf(file);
        const std::vector<std::string> names = Names(folder.path());

        EXPECT_EQ(RunAsOrdinaryUser([&] { return WriteFileReplacing(file, kNew); }), true);

        EXPECT_EQ(ReadAll(file), kNew);
        const struct stat after = StatOf(file);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(Names(folder.path()), names); // no temporary file left, no name lost
        if (before.st_nlink > 1) {
            EXPECT_EQ(ReadAll(folder.file("other name.sim")), kNew);
        }
        fs::permissions(folder.path(), fs::perms::owner_all); // so that it can be removed
    }
}

TEST(FileBytesTest, AnOrdinarySaveStillReplacesTheFileWhole) {
    TemporaryFolder folder;
    const std::string file = folder.file("file.sim");
    WriteAll(file, kOld);
    ::chmod(file.c_str(), 0640);
    const struct stat before = StatOf(file);
    // A reader that opened the file before the save keeps seeing a whole old file.
    const int reader = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reader, 0);

    ASSERT_TRUE(WriteFileReplacing(file, kNew));

    EXPECT_EQ(ReadAll(file), kNew);
    EXPECT_NE(StatOf(file).st_ino, before.st_ino);
    EXPECT_EQ(StatOf(file).st_mode, before.st_mode);
    std::string old(kOld.size() + 1, '\0');
    EXPECT_EQ(::pread(reader, old.data(), old.size(), 0), static_cast<ssize_t>(kOld.size()));
    EXPECT_EQ(old.substr(0, kOld.size()), kOld);
    ::close(reader);
    EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"file.sim"});
}

TEST(FileBytesTest, AFileWeMayNotWriteIsRefusedAndKept) {
    TemporaryFolder folder;
    Own(folder.path(), OrdinaryUserId(), OrdinaryGroupId()); // the folder would take a rename
    const std::string file = folder.file("file.sim");
    WriteAll(file, kOld);
    ::chmod(file.c_str(), 0444);
    Own(file, RunningAsSuperuser() ? 0 : ::geteuid(), 0);

    EXPECT_EQ(RunAsOrdinaryUser([&] { return WriteFileReplacing(file, kNew); }), false);
    EXPECT_EQ(ReadAll(file), kOld);
    EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"file.sim"});
}

TEST(FileBytesTest, ASaveThroughALinkWritesWhereTheLinkPointsAndKeepsTheLink) {
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
            WriteAll(folder.file("target.sim"), kOld);
        }
        for (const auto& [name, pointsTo] : c.links) {
            fs::create_symlink(pointsTo, folder.path() / name);
        }

        ASSERT_TRUE(WriteFileReplacing(folder.file(c.save), kNew));

        EXPECT_EQ(ReadAll(folder.file(c.target)), kNew);
        for (const auto& [name, pointsTo] : c.links) {
            EXPECT_TRUE(fs::is_symlink(folder.path() / name)) << name;
            EXPECT_EQ(fs::read_symlink(folder.path() / name), pointsTo) << name;
        }
    }
}

TEST(FileBytesTest, ALoopOfLinksIsRefusedAndCreatesNothing) {
    TemporaryFolder folder;
    fs::create_symlink("b.sim", folder.path() / "a.sim");
    fs::create_symlink("a.sim", folder.path() / "b.sim");
    EXPECT_FALSE(WriteFileReplacing(folder.file("a.sim"), kNew));
    EXPECT_EQ(Names(folder.path()), (std::vector<std::string>{"a.sim", "b.sim"}));
    EXPECT_TRUE(fs::is_symlink(folder.path() / "a.sim"));
}

// A failure tells why, in the system's words where the system gave one, so that a command
// line can say it.
TEST(FileBytesTest, FailuresTellWhy) {
    TemporaryFolder folder;
    WriteAll(folder.file("file.sim"), kOld);
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
        std::error_code error;
        if (c.write) {
            EXPECT_FALSE(WriteFileReplacing(c.path, kNew, error));
        } else {
            EXPECT_FALSE(ReadFileBytes(c.path, error));
        }
        EXPECT_EQ(error.message(), c.reason);
    }
    struct stat pipe {};
    EXPECT_EQ(::lstat(folder.file("pipe").c_str(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
    std::error_code error = std::make_error_code(std::errc::io_error);
    EXPECT_TRUE(ReadFileBytes(folder.file("file.sim"), error));
    EXPECT_FALSE(error);
    EXPECT_TRUE(WriteFileReplacing(folder.file("file.sim"), kNew, error));
    EXPECT_FALSE(error);
}

} // namespace
} // namespace tarvik
