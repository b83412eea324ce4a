// The file operations of base/Files.h on POSIX systems (Linux).
#include "base/Files.h"
#include "base/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tarvik::base {
namespace fs = std::filesystem;
namespace {

// The failure of the last system call, about path.
FileError SystemError(const std::string& path) {
    return {path, {errno, std::generic_category()}};
}

FileError Fault(const std::string& path, std::errc reason) {
    return {path, std::make_error_code(reason)};
}

FileError Fault(const std::string& path, FileFault fault) {
    return {path, MakeFileFault(fault)};
}

mode_t FileMode(Access access) {
    return access == Access::Private ? 0600 : 0666;
}

mode_t FolderMode(Access access) {
    return access == Access::Private ? 0700 : 0777;
}

// Removes the temporary file unless the write completed and gave it its name.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    std::string path_;
};

// Writes all of bytes, going on after an interrupted write; false when a write failed.
bool WriteFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteFullyAt(int fd, std::string_view bytes) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Puts a folder's entries (a new name, a rename) on the disk.
void SyncFolder(const std::string& folder) {
    UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.valid()) {
        ::fsync(handle.get());
    }
}

// Most links a save follows before it takes the chain for a loop, as the system does.
constexpr int maxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The content of the symbolic link at path; nothing when it cannot be read.
std::optional<std::string> ReadLink(const std::string& path) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            return target;
        }
        target.resize(target.size() * 2);
    }
}

// The file that a save to path writes: symbolic links are followed one by one, also to a
// target that does not exist yet, so that the link stays and its target gets the content.
FileResult<std::string> ResolveTarget(std::string path) {
    const std::string asked = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::optional<std::string> link = ReadLink(path);
        if (!link) {
            return SystemError(path);
        }
        if (link->empty()) {
            return Fault(path, std::errc::no_such_file_or_directory);
        }
        path = link->front() == '/' ? *link : FolderOf(path) + "/" + *link;
    }
    return Fault(asked, std::errc::too_many_symbolic_link_levels);
}

// Overwrites the regular file target, the one described by expected, with bytes. The space
// is reserved first, so that a full disk refuses the save before any old byte is lost.
FileResult<void> WriteInPlace(const std::string& target, const struct stat& expected,
                              std::string_view bytes) {
    UniqueFd file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        return SystemError(target);
    }
    if (!S_ISREG(info.st_mode) || info.st_dev != expected.st_dev ||
        info.st_ino != expected.st_ino) {
        return Fault(target, FileFault::ReplacedWhileWritten);
    }
    if (!bytes.empty() &&
        ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        return SystemError(target);
    }
    if (!WriteFullyAt(file.get(), bytes) ||
        ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.get()) != 0 || !file.close()) {
        return SystemError(target);
    }
    return {};
}

// Longest part of the target's own name that a temporary name keeps, so that the suffix
// never pushes the name past the 255 bytes a file name may have.
constexpr std::size_t maxTemporaryStem = 200;

// A name beside target for the new content: the target's name, cut if need be, ".tmp" and
// a number.
std::string TemporaryNameFor(const std::string& target, std::uint64_t number) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t stem = std::min(target.size() - nameStart, maxTemporaryStem);
    return target.substr(0, nameStart + stem) + ".tmp" + std::to_string(number % 1000000000u);
}

// A new file beside target under a fresh name, created exclusively so that nothing else is
// overwritten. Nothing, with errno set, when the folder takes no new file.
std::optional<std::pair<UniqueFd, std::string>> CreateBeside(const std::string& target,
                                                             mode_t mode) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryNameFor(target, random());
        UniqueFd file(
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (file.valid()) {
            return std::make_pair(std::move(file), std::move(name));
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    errno = EEXIST;
    return std::nullopt;
}

FileResult<std::string> ReadRegularFile(const fs::path& path, std::size_t limit) {
    const std::string name = path.string();
    // Opened without blocking: a named pipe would otherwise wait for a writer that may never
    // come. Once the file is known to be a regular one, reads block again as usual.
    UniqueFd file(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        return SystemError(name);
    }
    if (S_ISDIR(info.st_mode)) {
        return Fault(name, std::errc::is_a_directory);
    }
    if (!S_ISREG(info.st_mode)) {
        return Fault(name, FileFault::NotRegularFile);
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return SystemError(name);
    }
    std::string content;
    char buffer[65536];
    while (content.size() < limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit - content.size());
        const ssize_t got = ::read(file.get(), buffer, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return SystemError(name);
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

} // namespace

FileResult<std::string> ReadWholeFile(const fs::path& path) {
    return ReadRegularFile(path, std::numeric_limits<std::size_t>::max());
}

FileResult<std::string> ReadFileStart(const fs::path& path, std::size_t limit) {
    return ReadRegularFile(path, limit);
}

FileResult<void> ReplaceFileContent(const fs::path& path, std::string_view bytes) {
    if (path.empty()) {
        return Fault("", std::errc::no_such_file_or_directory);
    }
    const FileResult<std::string> resolved = ResolveTarget(path.string());
    if (!resolved) {
        return resolved.error();
    }
    const std::string& target = *resolved;

    // A file that may not be written stays as it is, as it would with a write in place; the
    // rename alone would replace it.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        return SystemError(target);
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        return Fault(target, std::errc::is_a_directory);
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        return Fault(target, FileFault::NotRegularFile);
    }
    // From here on, an existing target is a regular file. A new file would leave the other
    // hard links with the old content, and would belong to this user instead of the owner.
    if (exists && (existing.st_nlink > 1 || existing.st_uid != ::geteuid())) {
        return WriteInPlace(target, existing, bytes);
    }

    // Mode 0666 lets the umask decide, as for any new file.
    auto created = CreateBeside(target, 0666);
    if (!created) {
        // The folder takes no new file; the file itself may still be written.
        const FileError why = SystemError(target);
        return exists ? WriteInPlace(target, existing, bytes) : FileResult<void>(why);
    }
    UniqueFd file = std::move(created->first);
    TemporaryFile temporary(std::move(created->second));

    if (exists) {
        struct stat made {};
        if (::fstat(file.get(), &made) != 0) {
            return SystemError(target);
        }
        // The group goes before the mode: a change of group may clear the set-group-ID bit.
        if (made.st_gid != existing.st_gid &&
            ::fchown(file.get(), static_cast<uid_t>(-1), existing.st_gid) != 0) {
            return WriteInPlace(target, existing, bytes);
        }
        ::fchmod(file.get(), existing.st_mode & 07777);
    }
    if (!WriteFully(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.close() ||
        ::rename(temporary.path().c_str(), target.c_str()) != 0) {
        return SystemError(target);
    }
    temporary.release();
    // Makes the rename itself durable; the new content is already in place if this fails.
    SyncFolder(FolderOf(target));
    return {};
}

FileResult<void> MakeFolders(const fs::path& folder, Access access) {
    std::error_code error;
    if (fs::is_directory(folder, error)) {
        return {};
    }
    fs::path built;
    for (const fs::path& part : folder) {
        built /= part;
        if (::mkdir(built.c_str(), FolderMode(access)) != 0 && errno != EEXIST) {
            return SystemError(built.string());
        }
    }
    if (!fs::is_directory(folder, error)) {
        return Fault(folder.string(), std::errc::not_a_directory);
    }
    return {};
}

FileResult<fs::path> StoreNewPrivateFile(const fs::path& folder,
                                         const std::function<std::string(int attempt)>& nameFor,
                                         std::string_view bytes, int attempts) {
    if (FileResult<void> made = MakeFolders(folder, Access::Private); !made) {
        return made.error();
    }
    auto created = CreateBeside((folder / ".new").string(), FileMode(Access::Private));
    if (!created) {
        return SystemError(folder.string());
    }
    UniqueFd file = std::move(created->first);
    const TemporaryFile temporary(std::move(created->second));
    if (!WriteFully(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.close()) {
        return SystemError(temporary.path());
    }
    // A hard link gives the file its name without ever replacing another file.
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const fs::path target = folder / nameFor(attempt);
        if (::link(temporary.path().c_str(), target.c_str()) == 0) {
            UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!handle.valid() || ::fsync(handle.get()) != 0) {
                const FileError why = SystemError(folder.string());
                ::unlink(target.c_str());
                return why;
            }
            return target;
        }
        if (errno != EEXIST) {
            return SystemError(target.string());
        }
    }
    return Fault(folder.string(), FileFault::NoFreeName);
}

FileResult<AppendFile> AppendFile::openPrivate(const fs::path& path) {
    // A named pipe or a device would block the open or take the lines away: refused before.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return S_ISDIR(info.st_mode) ? Fault(path.string(), std::errc::is_a_directory)
                                     : Fault(path.string(), FileFault::NotRegularFile);
    }
    // O_APPEND keeps appends whole when two programs write at once; O_NONBLOCK keeps a file
    // that turned into a pipe meanwhile from blocking (a regular file ignores it).
    constexpr int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    UniqueFd file(::open(path.c_str(), flags, FileMode(Access::Private)));
    if (!file.valid() && errno == ENOENT && path.has_parent_path()) {
        if (FileResult<void> made = MakeFolders(path.parent_path(), Access::Private); !made) {
            return made.error();
        }
        file.reset(::open(path.c_str(), flags, FileMode(Access::Private)));
    }
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        return SystemError(path.string());
    }
    if (!S_ISREG(info.st_mode)) {
        return Fault(path.string(), FileFault::NotRegularFile);
    }
    return AppendFile(path, file.release());
}

void AppendFile::close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(std::exchange(handle_, -1)));
    }
}

FileResult<std::uint64_t> AppendFile::size() const {
    struct stat info {};
    if (handle_ < 0) {
        return Fault(path_.string(), std::errc::bad_file_descriptor);
    }
    if (::fstat(static_cast<int>(handle_), &info) != 0) {
        return SystemError(path_.string());
    }
    return static_cast<std::uint64_t>(info.st_size);
}

FileResult<void> AppendFile::append(std::string_view bytes) {
    if (handle_ < 0) {
        return Fault(path_.string(), std::errc::bad_file_descriptor);
    }
    const int fd = static_cast<int>(handle_);
    if (!WriteFully(fd, bytes) || ::fsync(fd) != 0) {
        return SystemError(path_.string());
    }
    return {};
}

} // namespace tarvik::base
