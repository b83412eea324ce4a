#pragma once

// Every file and folder operation of the programs without Qt. The functions are the same on
// every platform; each platform implements them in a file of its own (PosixFiles.cpp,
// Win32Files.cpp), chosen by the build. Paths are std::filesystem::path, made from UTF-8 text
// with PathFromUtf8, so that a name keeps every character on every platform.

#include "base/FileResult.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace tarvik::base {

// The path named by UTF-8 text, and back.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);

// The whole content of a regular file, never waiting for a file that is none (a named pipe, a
// device): those are refused as not regular, a folder as a folder.
FileResult<std::string> ReadWholeFile(const std::filesystem::path& path);
// The first `limit` bytes of a regular file (fewer when it is shorter).
FileResult<std::string> ReadFileStart(const std::filesystem::path& path, std::size_t limit);

// Stores bytes as the file at path so that a failure never leaves it half written where that
// can be avoided: the bytes go to a new file beside the target, which is put on the disk and
// then takes the target's place, keeping the target's permissions and group. A symbolic link
// is followed, also when its target does not exist yet: the target gets the content and the
// link stays. Where taking the place would change more than the content (the folder takes no
// new file, the file has other hard links, it belongs to another user or to a group the new
// file could not keep), the file is written in place instead, its space reserved first. A
// file this process may not write, and anything that is not a regular file, is refused and
// kept. No temporary file is left behind.
FileResult<void> ReplaceFileContent(const std::filesystem::path& path, std::string_view bytes);

// Who may use a file or folder that is created.
enum class Access {
    Shared,  // as the process's defaults allow (the umask on POSIX)
    Private, // the owner alone: files 0600, folders 0700
};

// Makes the folder and every missing folder above it, new ones with the given access;
// folders that exist stay as they are.
FileResult<void> MakeFolders(const std::filesystem::path& folder, Access access);

// Stores bytes as a new private file in folder (made private when missing), under the first
// name that nameFor(0), nameFor(1), ... gives that no file has yet (at most `attempts` tries).
// The file is on the disk, and its name too, before this returns; it never replaces another
// file, and a failure leaves nothing behind. Gives the file's path.
FileResult<std::filesystem::path>
StoreNewPrivateFile(const std::filesystem::path& folder,
                    const std::function<std::string(int attempt)>& nameFor, std::string_view bytes,
                    int attempts = 100);

// A file that grows at its end, such as a log: every append goes whole to the end, also when
// other programs append at the same time, and is on the disk when append returns.
class AppendFile {
public:
    // Opens path for appending; a missing file is created private (0600), in private folders
    // (0700) where they are missing too.
    static FileResult<AppendFile> openPrivate(const std::filesystem::path& path);

    AppendFile(AppendFile&& other) noexcept
        : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}
    AppendFile& operator=(AppendFile&& other) noexcept {
        if (this != &other) {
            close();
            path_ = std::move(other.path_);
            handle_ = std::exchange(other.handle_, -1);
        }
        return *this;
    }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;
    ~AppendFile() { close(); }

    // The file's size now.
    FileResult<std::uint64_t> size() const;
    // Writes all of bytes at the end and puts them on the disk.
    FileResult<void> append(std::string_view bytes);

    const std::filesystem::path& path() const { return path_; }

private:
    AppendFile(std::filesystem::path path, std::intptr_t handle)
        : path_(std::move(path)), handle_(handle) {}
    // Closes the handle, the one platform-bound part of the ownership.
    void close();

    std::filesystem::path path_;
    // The platform's handle of the open file (a descriptor, a HANDLE); -1 when none.
    std::intptr_t handle_ = -1;
};

} // namespace tarvik::base
