#include "editor/sim/BackupStore.h"

#include "base/CalendarTime.h"
#include "base/Files.h"
#include "base/Places.h"

#include <algorithm>
#include <ctime>

namespace tarvik {
namespace fs = std::filesystem;

fs::path BackupStore::defaultFolder() {
    return base::AppDataFolder() / "backups";
}

std::string BackupStore::fileStem(const SimBackup& backup) {
    std::string time = UtcTimeText(backup.saved); // 2025-01-31T13:05:09Z
    std::erase(time, '-');
    std::erase(time, ':');
    return (backup.iccid ? *backup.iccid : std::string("unknown")) + "-" + time;
}

BackupStore::Saved BackupStore::save(const SimBackup& backup) const {
    const std::string stem = fileStem(backup);
    // Backups hold customers' contacts: the file and its folders are the owner's alone.
    const base::FileResult<fs::path> stored = base::StoreNewPrivateFile(
        folder_,
        [&stem](int attempt) {
            return stem + (attempt == 0 ? "" : "_" + std::to_string(attempt)) + extension;
        },
        FormatBackup(backup));
    if (!stored) {
        return {std::nullopt, "cannot save the backup: " + stored.error().message()};
    }
    return {*stored, {}};
}

ParsedBackup BackupStore::load(const fs::path& path) {
    const base::FileResult<std::string> text = base::ReadWholeFile(path);
    if (!text) {
        return {std::nullopt, "cannot read " + text.error().message()};
    }
    return ParseBackup(*text);
}

BackupStore::Listing BackupStore::list() const {
    Listing listing;
    std::error_code error;
    if (!fs::exists(folder_, error)) {
        return listing;
    }
    fs::directory_iterator files(folder_, error);
    if (error) {
        listing.error = "cannot read the folder " + folder_.string() + ": " + error.message();
        return listing;
    }
    for (const fs::directory_entry& file : files) {
        if (file.path().extension() != extension) {
            continue;
        }
        const ParsedBackup parsed = load(file.path());
        if (!parsed.backup) {
            listing.problems.push_back({file.path(), parsed.error});
            continue;
        }
        listing.backups.push_back({file.path(), parsed.backup->iccid, parsed.backup->saved,
                                   parsed.backup->usedRecords()});
    }
    std::sort(listing.backups.begin(), listing.backups.end(), [](const Entry& a, const Entry& b) {
        return a.saved != b.saved ? a.saved > b.saved : a.path.filename() > b.path.filename();
    });
    std::sort(listing.problems.begin(), listing.problems.end(),
              [](const Problem& a, const Problem& b) { return a.path < b.path; });
    return listing;
}

std::string LocalTimeText(std::time_t time) {
    const std::tm parts = base::LocalCalendarTime(time);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return text;
}

} // namespace tarvik
