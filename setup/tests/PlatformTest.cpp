#include "setup/platform/PosixSetupPlatform.h"
#include "setup/tests/ScratchFolder.h"
#include "setup/tests/TestPackageBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace setup::test {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PosixSetupPlatform, TempFolderComesFromTmpdirAndEndsInASeparator) {
    PosixSetupPlatform platform;
    {
        const ScopedEnvironment tmpdir("TMPDIR", "/var/tmp");
        EXPECT_EQ(platform.systemTempFolder(), "/var/tmp/");
    }
    {
        // The machine's own paths keep their backslashes; only package names are converted.
        const ScopedEnvironment tmpdir("TMPDIR", "/var/odd\\name/");
        EXPECT_EQ(platform.systemTempFolder(), "/var/odd\\name/");
    }
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        const ScopedEnvironment tmpdir("TMPDIR", unset);
        EXPECT_EQ(platform.systemTempFolder(), "/tmp/");
    }
}

TEST(PosixSetupPlatform, TempFoldersArePrivateAndDistinct) {
    const ScratchFolder scratch;
    const ScopedEnvironment tmpdir("TMPDIR", scratch.path().c_str());
    PosixSetupPlatform platform;
    const std::regex pattern(R"(ist[0-9A-F]{4}\.tm!)");
    std::set<std::string> names;
    for (int i = 0; i < 50; ++i) {
        const std::optional<std::string> path = platform.createTempFolder("istx");
        ASSERT_TRUE(path.has_value());
        ASSERT_EQ(path->back(), '/');
        const fs::path folder = fs::path(*path).parent_path();
        EXPECT_EQ(folder.parent_path(), scratch.path());
        const std::string name = folder.filename().string();
        EXPECT_TRUE(std::regex_match(name, pattern)) << name;
        struct stat info {};
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 50u);
    EXPECT_FALSE(CreateUniqueFolder(scratch / "absent", "ist", 0).has_value());
}

TEST(PosixSetupPlatform, PlantedNamesCannotMakeTheTempFolderFail) {
    // The next 300 names, wrapping round after FFFF, are taken by what another user could plant
    // in a shared temporary folder: links, folders, files. The first free name is used.
    const ScratchFolder scratch;
    const std::string victim = scratch / "victim";
    fs::create_directory(victim);
    const std::string planted = scratch / "planted";
    fs::create_directory(planted);
    for (unsigned i = 0; i < 300; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "ist%04X.tm!", (0xFF00u + i) & 0xFFFFu);
        const std::string path = planted + "/" + name;
        switch (i % 3) {
        case 0:
            ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
            break;
        case 1:
            ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
            break;
        default:
            WriteWholeFile(path, "");
            break;
        }
    }
    const std::optional<std::string> folder = CreateUniqueFolder(planted, "istx", 0xFF00u);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, planted + "/ist002C.tm!/");
    EXPECT_TRUE(fs::is_empty(victim));
}

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tree_ + "/a/b");
        WriteWholeFile(tree_ + "/top.txt", "1");
        WriteWholeFile(tree_ + "/a/b/deep.txt", "2");
        fs::create_directory(outside_);
        WriteWholeFile(outside_ + "/precious", "keep");
    }

    ScratchFolder scratch_;
    std::string tree_ = scratch_ / "ist1A2B.tm!";
    std::string outside_ = scratch_ / "outside";
    PosixSetupPlatform platform_;
};

TEST_F(FolderTreeTest, DeletesEverythingWithOrWithoutATrailingSeparator) {
    for (const std::string& path : {tree_, tree_ + "/", tree_ + "//"}) {
        SCOPED_TRACE(path);
        fs::create_directories(tree_ + "/a/b");
        WriteWholeFile(tree_ + "/a/b/deep.txt", "2");
        EXPECT_TRUE(platform_.deleteFolderTree(path));
        EXPECT_FALSE(fs::exists(tree_));
    }
    EXPECT_FALSE(platform_.deleteFolderTree(tree_));
    EXPECT_FALSE(platform_.deleteFolderTree(""));
}

TEST_F(FolderTreeTest, NamesBeginningWithADotStayAndKeepTheirFolders) {
    WriteWholeFile(tree_ + "/a/.keep", "k");
    fs::create_directory(tree_ + "/.hidden");
    WriteWholeFile(tree_ + "/.hidden/inside", "i");
    EXPECT_FALSE(platform_.deleteFolderTree(tree_));
    EXPECT_EQ(ReadWholeFile(tree_ + "/a/.keep"), "k");
    EXPECT_EQ(ReadWholeFile(tree_ + "/.hidden/inside"), "i");
    EXPECT_FALSE(fs::exists(tree_ + "/top.txt"));
    EXPECT_FALSE(fs::exists(tree_ + "/a/b"));
}

TEST_F(FolderTreeTest, LinksInsideAreDeletedWithoutTouchingTheirTargets) {
    fs::create_directory_symlink(outside_, tree_ + "/a/folder-link");
    fs::create_symlink(outside_ + "/precious", tree_ + "/file-link");
    fs::create_symlink(scratch_ / "nowhere", tree_ + "/dangling");
    EXPECT_TRUE(platform_.deleteFolderTree(tree_));
    EXPECT_FALSE(fs::exists(tree_));
    EXPECT_EQ(ReadWholeFile(outside_ + "/precious"), "keep");
}

TEST_F(FolderTreeTest, LinkInPlaceOfTheFolderIsRefused) {
    const std::string link = scratch_ / "link";
    fs::create_directory_symlink(outside_, link);
    for (const std::string& path : {link, link + "/"}) {
        EXPECT_FALSE(platform_.deleteFolderTree(path));
        EXPECT_EQ(ReadWholeFile(outside_ + "/precious"), "keep");
    }
}

TEST_F(FolderTreeTest, FoldersWithoutTheOwnersRightsAreEmptiedToo) {
    ::chmod((tree_ + "/a/b").c_str(), 0);
    ::chmod((tree_ + "/a").c_str(), 0500);
    EXPECT_TRUE(platform_.deleteFolderTree(tree_));
    EXPECT_FALSE(fs::exists(tree_));
}

TEST(PosixSetupPlatform, ProgramWithoutExecutePermissionStartsWithItsArguments) {
    const ScratchFolder scratch;
    const std::string program = scratch / "with space.sh";
    const std::string record = scratch / "record";
    WriteWholeFile(program, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$1\"\n");
    ::chmod(program.c_str(), 0600);
    PosixSetupPlatform platform;
    const std::optional<ProcessId> process =
        platform.startProcess({program, {record, "a b", "/i"}});
    ASSERT_TRUE(process.has_value());
    platform.waitForProcess(*process);
    EXPECT_EQ(ReadWholeFile(record), record + "|a b|/i|");
    struct stat info {};
    ASSERT_EQ(::stat(program.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(PosixSetupPlatform, WaitLastsUntilTheProcessHasEnded) {
    const ScratchFolder scratch;
    const std::string program = scratch / "slow.sh";
    WriteWholeFile(program, "#!/bin/sh\nsleep 0.3\necho done > \"$1\"\n");
    PosixSetupPlatform platform;
    const std::optional<ProcessId> process = platform.startProcess({program, {scratch / "out"}});
    ASSERT_TRUE(process.has_value());
    platform.waitForProcess(*process);
    EXPECT_EQ(ReadWholeFile(scratch / "out"), "done\n");
}

TEST(PosixSetupPlatform, WhatCannotRunDoesNotStart) {
    const ScratchFolder scratch;
    WriteWholeFile(scratch / "garbage", "\x01\x02 not a program");
    fs::create_directory(scratch / "folder");
    fs::create_symlink(scratch / "absent", scratch / "dangling");
    PosixSetupPlatform platform;
    for (const std::string& program : {scratch / "absent", scratch / "garbage", scratch / "folder",
                                       scratch / "dangling", std::string()}) {
        SCOPED_TRACE(program);
        EXPECT_FALSE(platform.startProcess({program, {}}).has_value());
    }
}

TEST(PosixSetupPlatform, DeleteFileRemovesALinkNotItsTarget) {
    const ScratchFolder scratch;
    WriteWholeFile(scratch / "target", "keep");
    fs::create_symlink(scratch / "target", scratch / "link");
    PosixSetupPlatform platform;
    EXPECT_TRUE(platform.deleteFile(scratch / "link"));
    EXPECT_EQ(ReadWholeFile(scratch / "target"), "keep");
    EXPECT_FALSE(platform.deleteFile(scratch / "link"));
    EXPECT_FALSE(platform.deleteFile(""));
}

TEST(PosixSetupPlatform, ModuleAndCurrentFolder) {
    PosixSetupPlatform platform;
    EXPECT_EQ(fs::path(platform.modulePath()).filename(), "setup_core_tests");
    EXPECT_EQ(platform.currentDirectory(), fs::current_path().string());
}

TEST(SetupPlatform, LogPathPrefersQlInstLogOverHome) {
    {
        const ScopedEnvironment log("QL_INST_LOG", "/x/custom.log");
        const ScopedEnvironment home("HOME", "/home/u");
        EXPECT_EQ(DefaultLogPath(), "/x/custom.log");
    }
    {
        const ScopedEnvironment log("QL_INST_LOG", nullptr);
        const ScopedEnvironment home("HOME", "/home/u/");
        EXPECT_EQ(DefaultLogPath(), "/home/u/ql_inst.log");
    }
    {
        const ScopedEnvironment log("QL_INST_LOG", "");
        const ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(DefaultLogPath(), "");
    }
}

} // namespace
} // namespace setup::test
