#include "setup/platform/FileHandle.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace setup {

std::optional<std::uint64_t> FileSize(const FileHandle& file) {
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::size_t ReadAt(const FileHandle& file, std::uint64_t offset, std::span<char> buffer) {
    std::size_t done = 0;
    while (file.get() >= 0 && done < buffer.size()) {
        const ssize_t got = ::pread(file.get(), buffer.data() + done, buffer.size() - done,
                                    static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool WriteAll(const FileHandle& file, std::span<const char> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        if (file.get() < 0) {
            return false;
        }
        const ssize_t put = ::write(file.get(), data.data() + done, data.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

FileHandle OpenForReading(const std::string& path) {
    // Opening a FIFO for reading would wait for a writer, possibly forever; without blocking
    // the open returns at once, and anything but a regular file is then refused.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileHandle();
    }
    return file;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

FileHandle OpenForAppending(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO would wait for a reader.
    FileHandle file(::open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileHandle();
    }
    return file;
}

bool CopyBetweenFiles(const FileHandle& from, std::uint64_t offset, const FileHandle& to,
                      std::uint64_t size, std::uint64_t& copied) {
    copied = 0;
    while (copied < size) {
        auto at = static_cast<off64_t>(offset + copied);
        const auto chunk =
            static_cast<std::size_t>(std::min<std::uint64_t>(size - copied, 1u << 30));
        const ssize_t done = ::copy_file_range(from.get(), &at, to.get(), nullptr, chunk, 0);
        if (done > 0) {
            copied += static_cast<std::uint64_t>(done);
        } else if (done == 0) {
            return true;
        } else if (errno != EINTR) {
            // Not every file system or kernel copies between these two files.
            return false;
        }
    }
    return true;
}

bool TruncateFile(const FileHandle& file, std::uint64_t size) {
    int result = -1;
    do {
        result = ::ftruncate(file.get(), static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

FileHandle OpenFolder(const std::string& path) {
    return FileHandle(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

FileHandle OpenFolderAt(const FileHandle& parent, const std::string& name) {
    return FileHandle(
        ::openat(parent.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

FileHandle ReplaceFileAt(const FileHandle& parent, const std::string& name) {
    struct stat info {};
    if (::fstatat(parent.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        // Unlinking first (instead of truncating in place) also keeps a hard link or a FIFO
        // that happens to sit at this name from receiving the data.
        if (!S_ISREG(info.st_mode) || ::unlinkat(parent.get(), name.c_str(), 0) != 0) {
            return FileHandle();
        }
    }
    return FileHandle(::openat(parent.get(), name.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

FolderResult MakeFolderAt(const FileHandle& parent, const std::string& name) {
    if (::mkdirat(parent.get(), name.c_str(), 0700) == 0) {
        return FolderResult::Created;
    }
    return errno == EEXIST ? FolderResult::Existed : FolderResult::Failed;
}

std::vector<std::string> ListFolderNames(const FileHandle& folder) {
    std::vector<std::string> names;
    // The stream gets its own handle: closing the stream closes it, not the caller's.
    const int copy = ::fcntl(folder.get(), F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        return names;
    }
    DIR* stream = ::fdopendir(copy);
    if (stream == nullptr) {
        ::close(copy);
        return names;
    }
    // A duplicate shares the read position, which an earlier listing may have moved.
    ::rewinddir(stream);
    while (const dirent* item = ::readdir(stream)) {
        names.emplace_back(item->d_name);
    }
    ::closedir(stream);
    return names;
}

} // namespace setup
