// The data files on POSIX systems: the backup folder found by the XDG base-directory rules,
// and backups and the job log private to their owner by file modes.
#include "editor/sim/BackupStore.h"
#include "editor/sim/JobLog.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

SimBackup Backup(std::optional<std::string> iccid, std::time_t saved) {
    SimBackup backup;
    backup.iccid = std::move(iccid);
    backup.saved = saved;
    backup.adnRecordLength = 28;
    backup.adn.assign(10, RecordBytes(28, 0xFF));
    backup.ext1.assign(2, RecordBytes(13, 0xFF));
    return backup;
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

TEST(BackupStore, SavedFilesAndTheirFolderAreTheOwnersAlone) {
    const TemporaryFolder temporary;
    const BackupStore store(temporary.path() / "a" / "backups");
    const auto first = store.save(Backup("8949000000000000017", 1738328709));
    ASSERT_TRUE(first.path) << first.error;
    struct stat info {};
    ASSERT_EQ(::stat(first.path->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(store.folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(BackupStore, AReadOnlyFolderGetsNoBackup) {
    const TemporaryFolder temporary;
    if (::geteuid() != 0) { // root writes anywhere
        const BackupStore readOnly(temporary.path() / "readonly");
        fs::create_directory(readOnly.folder());
        fs::permissions(readOnly.folder(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(readOnly.save(Backup("1", 0)).path);
        EXPECT_TRUE(fs::is_empty(readOnly.folder()));
    }
}

// The log names customers' cards: its owner's alone, whatever the umask.
TEST(JobLog, TheLogAndItsFolderAreTheOwnersAlone) {
    const TemporaryFolder temporary;
    const auto path = temporary.path() / "logs" / "jobs.csv";
    JobLog log;
    ASSERT_EQ(log.open(path), "");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(path.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);
}

} // namespace
} // namespace tarvik
