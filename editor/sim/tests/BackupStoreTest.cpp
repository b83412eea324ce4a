// The folder of backups: where it is, how files are named and written, and the listing.
#include "editor/sim/BackupStore.h"

#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

SimBackup Backup(std::optional<std::string> iccid, std::time_t saved, int used = 1) {
    SimBackup backup;
    backup.iccid = std::move(iccid);
    backup.saved = saved;
    backup.adnRecordLength = 28;
    backup.adn.assign(10, RecordBytes(28, 0xFF));
    for (int i = 0; i < used; ++i) {
        backup.adn[static_cast<std::size_t>(i)][0] = 'A';
    }
    backup.ext1.assign(2, RecordBytes(13, 0xFF));
    return backup;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& file : fs::directory_iterator(folder)) {
        names.push_back(file.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(BackupStore, TheFolderFollowsXdgDataHome) {
    const ScopedEnvironment home("HOME", "/home/someone");
    struct Case {
        const char* xdgDataHome;
        const char* folder;
    };
    const std::vector<Case> cases = {
        {"/data", "/data/tarvik/backups"},
        {nullptr, "/home/someone/.local/share/tarvik/backups"},
        {"", "/home/someone/.local/share/tarvik/backups"},
        // A relative value is invalid by the XDG base directory rules.
        {"relative", "/home/someone/.local/share/tarvik/backups"},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment data("XDG_DATA_HOME", c.xdgDataHome);
        EXPECT_EQ(BackupStore::defaultFolder(), fs::path(c.folder))
            << (c.xdgDataHome ? c.xdgDataHome : "unset");
    }
}

TEST(BackupStore, SavesNewPrivateFilesNamedByCardAndTimeAndNeverReplacesOne) {
    const TemporaryFolder temporary;
    const BackupStore store(temporary.path() / "a" / "backups");
    const std::time_t saved = 1738328709; // 2025-01-31 13:05:09 UTC

    const auto first = store.save(Backup("8949000000000000017", saved));
    const auto second = store.save(Backup("8949000000000000017", saved, 2));
    const auto unknown = store.save(Backup(std::nullopt, saved));
    ASSERT_TRUE(first.path && second.path && unknown.path) << first.error;

    // Nothing else is left in the folder; names sort by card, then time.
    EXPECT_EQ(Names(store.folder()),
              (std::vector<std::string>{"8949000000000000017-20250131T130509Z.simbackup",
                                        "8949000000000000017-20250131T130509Z_1.simbackup",
                                        "unknown-20250131T130509Z.simbackup"}));
    EXPECT_EQ(BackupStore::load(*first.path).backup, Backup("8949000000000000017", saved));
    EXPECT_EQ(BackupStore::load(*second.path).backup->usedRecords(), 2);
    struct stat info {};
    ASSERT_EQ(::stat(first.path->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(store.folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(BackupStore, AFolderThatCannotBeWrittenSavesNothingAndSaysWhy) {
    const TemporaryFolder temporary;
    // A file where the folder should be.
    testing::WriteAll(temporary.file("backups"), "in the way");
    const BackupStore blocked(temporary.path() / "backups");
    const auto saved = blocked.save(Backup("1", 0));
    EXPECT_FALSE(saved.path);
    EXPECT_NE(saved.error.find(blocked.folder().string()), std::string::npos) << saved.error;

    if (::geteuid() != 0) { // root writes anywhere
        const BackupStore readOnly(temporary.path() / "readonly");
        fs::create_directory(readOnly.folder());
        fs::permissions(readOnly.folder(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(readOnly.save(Backup("1", 0)).path);
        EXPECT_TRUE(fs::is_empty(readOnly.folder()));
    }
}

TEST(BackupStore, ListsBackupsNewestFirstAndNamesFilesThatAreNone) {
    const TemporaryFolder temporary;
    const BackupStore store(temporary.path());
    EXPECT_TRUE(BackupStore(temporary.path() / "missing").list().backups.empty());
    ASSERT_TRUE(store.save(Backup("111", 1000, 3)).path);
    ASSERT_TRUE(store.save(Backup("222", 3000, 0)).path);
    ASSERT_TRUE(store.save(Backup(std::nullopt, 2000, 5)).path);
    testing::WriteAll(temporary.file("broken.simbackup"), "tarvik-sim-backup 1\niccid 1\n");
    testing::WriteAll(temporary.file("notes.txt"), "not a backup, and not listed");

    const BackupStore::Listing listing = store.list();
    ASSERT_EQ(listing.backups.size(), 3u);
    EXPECT_EQ(listing.backups[0].iccid, "222");
    EXPECT_EQ(listing.backups[0].saved, 3000);
    EXPECT_EQ(listing.backups[0].usedRecords, 0);
    EXPECT_EQ(listing.backups[1].iccid, std::nullopt);
    EXPECT_EQ(listing.backups[1].usedRecords, 5);
    EXPECT_EQ(listing.backups[2].iccid, "111");
    ASSERT_EQ(listing.problems.size(), 1u);
    EXPECT_EQ(listing.problems[0].path.filename(), "broken.simbackup");
    EXPECT_EQ(listing.problems[0].error.substr(0, 7), "line 3:");
}

} // namespace
} // namespace tarvik
