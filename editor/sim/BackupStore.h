#pragma once

#include "editor/sim/SimBackup.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The folder of SIM backups: one file a backup, named after the card's ICCID and the UTC
// time it was taken ("8949000000000000017-20250131T130509Z.simbackup", "unknown-..." for a
// card without one), so that a listing sorted by name keeps each card's backups in time
// order.
class BackupStore {
public:
    explicit BackupStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // $XDG_DATA_HOME/tarvik/backups, or ~/.local/share/tarvik/backups when that is unset.
    static std::filesystem::path defaultFolder();

    const std::filesystem::path& folder() const { return folder_; }

    // Where a backup went, or why it could not be saved.
    struct Saved {
        std::optional<std::filesystem::path> path;
        std::string error;
    };
    // Writes the backup as a new file (the folder is made when missing) and makes sure it
    // is on the disk before returning: the file is written under a temporary name, synced,
    // given its name, and the folder synced. A backup never replaces another. On failure
    // nothing is left behind.
    Saved save(const SimBackup& backup) const;

    // One backup of the folder, as a listing shows it.
    struct Entry {
        std::filesystem::path path;
        std::optional<std::string> iccid;
        std::time_t saved = 0;
        int usedRecords = 0;
    };
    // A file of the folder that is no backup that can be restored.
    struct Problem {
        std::filesystem::path path;
        std::string error;
    };
    struct Listing {
        std::vector<Entry> backups; // newest first
        std::vector<Problem> problems;
        std::string error; // the folder cannot be read (a missing folder holds no backups)
    };
    Listing list() const;

    // The backup in file `path`, or why it cannot be used ("line 7: ...").
    static ParsedBackup load(const std::filesystem::path& path);

    // The file name a backup gets (before any suffix that keeps it from replacing another).
    static std::string fileStem(const SimBackup& backup);

    static constexpr const char* extension = ".simbackup";

private:
    std::filesystem::path folder_;
};

// The local date and time of a backup, "2025-01-31 14:05", for listings.
std::string LocalTimeText(std::time_t time);

} // namespace tarvik
