#include "program/FileBytes.h"

#include "base/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tarvik {
namespace {

// The failures that have no system error of their own.
enum class FileFault { NotRegularFile = 1, ReplacedWhileWritten };

class FileFaultCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "file"; }
    std::string message(int fault) const override {
        switch (static_cast<FileFault>(fault)) {
        case FileFault::NotRegularFile:
            return "Not a regular file";
        case FileFault::ReplacedWhileWritten:
            return "The file was replaced while it was written";
        }
        return "Unknown file error";
    }
};

std::error_code MakeError(FileFault fault) {
    static const FileFaultCategory category;
    return {static_cast<int>(fault), category};
}

// The error that the last failed system call left in errno.
std::error_code SystemError() {
    return {errno, std::generic_category()};
}

// Removes the temporary file unless the write completed and renamed it.
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

// Most links a save follows before it takes the chain for a loop, as the system does.
constexpr int kMaxLinkHops = 40;

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
// Nothing for a link that cannot be read and for a chain of links that does not end.
std::optional<std::string> ResolveTarget(std::string path, std::error_code& error) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::optional<std::string> link = ReadLink(path);
        if (!link) {
            error = SystemError();
            return std::nullopt;
        }
        if (link->empty()) {
            error = std::make_error_code(std::errc::no_such_file_or_directory);
            return std::nullopt;
        }
        path = link->front() == '/' ? *link : FolderOf(path) + "/" + *link;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return std::nullopt;
}

bool WriteAllAt(int fd, std::string_view bytes) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// Overwrites the regular file target, the one described by expected, with bytes. The space
// is reserved first, so that a full disk refuses the save before any old byte is lost.
bool WriteInPlace(const std::string& target, const struct stat& expected, std::string_view bytes,
                  std::error_code& error) {
    UniqueFd file(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        error = SystemError();
        return false;
    }
    if (!S_ISREG(info.st_mode) || info.st_dev != expected.st_dev ||
        info.st_ino != expected.st_ino) {
        error = MakeError(FileFault::ReplacedWhileWritten);
        return false;
    }
    if (!bytes.empty() &&
        ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        error = SystemError();
        return false;
    }
    if (!WriteAllAt(file.get(), bytes) ||
        ::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.get()) != 0 || !file.close()) {
        error = SystemError();
        return false;
    }
    error.clear();
    return true;
}

// Longest part of the target's own name that a temporary name keeps, so that the suffix
// never pushes the name past the 255 bytes a file name may have.
constexpr std::size_t kMaxTemporaryStem = 200;

// A name beside target for the new content: the target's name, cut if need be, ".tmp"
// and number.
std::string TemporaryNameFor(const std::string& target, std::uint64_t number) {
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t stem = std::min(target.size() - nameStart, kMaxTemporaryStem);
    return target.substr(0, nameStart + stem) + ".tmp" + std::to_string(number % 1000000000u);
}

} // namespace

bool WriteFully(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::error_code ignored;
    return ReadFileBytes(path, ignored);
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::error_code& error) {
    // Opened without blocking: a named pipe would otherwise wait for a writer that may never
    // come. Once the file is known to be a regular one, reads block again as usual.
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        error = SystemError();
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = MakeError(FileFault::NotRegularFile);
        return std::nullopt;
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = SystemError();
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = SystemError();
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    error.clear();
    return content;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
    std::error_code ignored;
    return WriteFileReplacing(path, bytes, ignored);
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::error_code& error) {
    if (path.empty()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    const std::optional<std::string> resolved = ResolveTarget(path, error);
    if (!resolved) {
        return false;
    }
    const std::string& target = *resolved;

    // A file that may not be written stays as it is, as it would with a write in place;
    // the rename alone would replace it.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        error = SystemError();
        return false;
    }
    if (exists && S_ISDIR(existing.st_mode)) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        error = MakeError(FileFault::NotRegularFile);
        return false;
    }
    const bool regular = exists; // from here on, an existing target is a regular file
    // A new file would leave the other hard links with the old content, and would belong to
    // this user instead of the file's owner.
    if (regular && (existing.st_nlink > 1 || existing.st_uid != ::geteuid())) {
        return WriteInPlace(target, existing, bytes, error);
    }

    // A fresh name beside the target, created exclusively so that nothing else is
    // overwritten; mode 0666 lets the umask decide, as for any new file.
    std::random_device seed;
    std::mt19937_64 random(seed());
    int fd = -1;
    std::string temporaryPath;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporaryPath = TemporaryNameFor(target, random());
        fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            // The folder takes no new file; the file itself may still be written.
            error = SystemError();
            return regular && WriteInPlace(target, existing, bytes, error);
        }
    }
    if (fd < 0) {
        error = std::make_error_code(std::errc::file_exists);
        return false;
    }
    UniqueFd file(fd);
    TemporaryFile temporary(temporaryPath);

    if (regular) {
        struct stat created {};
        if (::fstat(file.get(), &created) != 0) {
            error = SystemError();
            return false;
        }
        // The group goes before the mode: a change of group may clear the set-group-ID bit.
        if (created.st_gid != existing.st_gid &&
            ::fchown(file.get(), static_cast<uid_t>(-1), existing.st_gid) != 0) {
            return WriteInPlace(target, existing, bytes, error);
        }
        ::fchmod(file.get(), existing.st_mode & 07777);
    }
    if (!WriteFully(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.close() ||
        ::rename(temporary.path().c_str(), target.c_str()) != 0) {
        error = SystemError();
        return false;
    }
    temporary.release();

    // Make the rename itself durable; the new content is already in place if this fails.
    UniqueFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        ::fsync(folder.get());
    }
    error.clear();
    return true;
}

} // namespace tarvik
