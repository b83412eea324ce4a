#include "editor/sim/BackupStore.h"

#include "base/UniqueFd.h"
#include "program/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik {
namespace fs = std::filesystem;
namespace {

constexpr int kMaxNameAttempts = 100;

std::string SystemError(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// Makes the folder and the folders above it (0700: backups hold customers' contacts).
std::optional<std::string> MakeFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return std::nullopt;
    }
    fs::path built;
    for (const fs::path& part : folder) {
        built /= part;
        if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) {
            return SystemError("cannot create the folder " + built.string(), errno);
        }
    }
    if (!fs::is_directory(folder, error)) {
        return "cannot create the folder " + folder.string();
    }
    return std::nullopt;
}

// Removes the temporary file unless it was given its name.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

fs::path BackupStore::DefaultFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    if (data != nullptr && data[0] == '/') {
        return fs::path(data) / "tarvik" / "backups";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr && home[0] != '\0' ? home : ".") / ".local" / "share" /
           "tarvik" / "backups";
}

std::string BackupStore::FileStem(const SimBackup& backup) {
    std::string time = UtcTimeText(backup.saved); // 2025-01-31T13:05:09Z
    std::erase(time, '-');
    std::erase(time, ':');
    return (backup.iccid ? *backup.iccid : std::string("unknown")) + "-" + time;
}

BackupStore::Saved BackupStore::Save(const SimBackup& backup) const {
    if (const auto error = MakeFolder(folder_)) {
        return {std::nullopt, *error};
    }
    const std::string text = FormatBackup(backup);
    std::random_device random;
    const TemporaryFile temporary(folder_ / (".backup-" + std::to_string(random()) + ".tmp"));
    {
        UniqueFd file(::open(temporary.path().c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (!file.valid()) {
            return {std::nullopt,
                    SystemError("cannot create a file in " + folder_.string(), errno)};
        }
        if (!WriteFully(file.get(), text) || ::fsync(file.get()) != 0) {
            return {std::nullopt, SystemError("cannot write " + temporary.path().string(), errno)};
        }
        if (!file.close()) {
            return {std::nullopt, SystemError("cannot write " + temporary.path().string(), errno)};
        }
    }
    // A hard link gives the file its name without ever replacing another backup.
    const std::string stem = FileStem(backup);
    std::optional<fs::path> named;
    for (int attempt = 0; attempt < kMaxNameAttempts && !named; ++attempt) {
        const fs::path target =
            folder_ / (stem + (attempt == 0 ? "" : "_" + std::to_string(attempt)) + kExtension);
        if (::link(temporary.path().c_str(), target.c_str()) == 0) {
            named = target;
        } else if (errno != EEXIST) {
            return {std::nullopt, SystemError("cannot name the backup " + target.string(), errno)};
        }
    }
    if (!named) {
        return {std::nullopt, "too many backups named " + stem + " in " + folder_.string()};
    }
    UniqueFd folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid() || ::fsync(folder.get()) != 0) {
        const int error = errno;
        ::unlink(named->c_str());
        return {std::nullopt, SystemError("cannot sync the folder " + folder_.string(), error)};
    }
    return {named, {}};
}

ParsedBackup BackupStore::Load(const fs::path& path) {
    const std::optional<std::string> text = ReadFileBytes(path.string());
    if (!text) {
        return {std::nullopt, "cannot read " + path.string()};
    }
    return ParseBackup(*text);
}

BackupStore::Listing BackupStore::List() const {
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
        if (file.path().extension() != kExtension) {
            continue;
        }
        const ParsedBackup parsed = Load(file.path());
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
    std::tm parts{};
    ::localtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &parts);
    return text;
}

} // namespace tarvik
