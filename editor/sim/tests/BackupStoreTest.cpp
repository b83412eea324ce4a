// The folder of backups: where it is, how files are named and written, and the listing.
#include "editor/sim/BackupStore.h"

#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
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
}

TEST(BackupStore, AFolderThatCannotBeWrittenSavesNothingAndSaysWhy) {
    const TemporaryFolder temporary;
    // A file where the folder should be.
    testing::WriteAll(temporary.file("backups"), "in the way");
    const BackupStore blocked(temporary.path() / "backups");
    const auto saved = blocked.save(Backup("1", 0));
    EXPECT_FALSE(saved.path);
    EXPECT_NE(saved.error.find(blocked.folder().string()), std::string::npos) << saved.error;
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
