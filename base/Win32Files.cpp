// The file operations of base/Files.h on Windows: wide-character paths for the W functions,
// the replace through ReplaceFileW or MoveFileExW, FlushFileBuffers for durability.
#include "base/Files.h"

#include <algorithm>
#include <limits>
#include <random>
#include <utility>
#include <windows.h>

namespace tarvik::base {
namespace fs = std::filesystem;
namespace {

// The system's error as the POSIX number where there is one, so that messages and the
// comparisons of callers read the same on every platform.
std::error_code FromWin32(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_DIRECTORY:
        return std::make_error_code(std::errc::not_a_directory);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

FileError LastError(const fs::path& path) {
    return {PathToUtf8(path), FromWin32(::GetLastError())};
}

FileError Fault(const fs::path& path, std::errc reason) {
    return {PathToUtf8(path), std::make_error_code(reason)};
}

FileError Fault(const fs::path& path, FileFault fault) {
    return {PathToUtf8(path), MakeFileFault(fault)};
}

// Owns a file HANDLE and closes it when destroyed.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    void reset(HANDLE handle) {
        close();
        handle_ = handle;
    }
    bool close() {
        const HANDLE handle = release();
        return handle != INVALID_HANDLE_VALUE && ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

// Deletes the temporary file unless the write completed and gave it its name.
class TemporaryFile {
public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::DeleteFileW(path_.c_str());
        }
    }
    const fs::path& path() const { return path_; }
    void release() { path_.clear(); }

private:
    fs::path path_;
};

bool WriteFully(HANDLE file, std::string_view bytes, OVERLAPPED* position = nullptr) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, position) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// A new file beside target under a fresh name, created exclusively so that nothing else is
// overwritten.
FileResult<std::pair<fs::path, HANDLE>> CreateBeside(const fs::path& target) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path name = target;
        name += L".tmp" + std::to_wstring(random() % 1000000000u);
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            return std::make_pair(std::move(name), file);
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            return FileError{PathToUtf8(target), FromWin32(code)};
        }
    }
    return Fault(target, std::errc::file_exists);
}

// Writes bytes to a new temporary file beside target and puts them on the disk.
FileResult<fs::path> WriteBeside(const fs::path& target, std::string_view bytes) {
    auto created = CreateBeside(target);
    if (!created) {
        return created.error();
    }
    TemporaryFile temporary(created->first);
    Handle file(created->second);
    if (!WriteFully(file.get(), bytes) || !::FlushFileBuffers(file.get()) || !file.close()) {
        return LastError(target);
    }
    fs::path path = temporary.path();
    temporary.release();
    return path;
}

FileResult<std::string> ReadRegularFile(const fs::path& path, std::size_t limit) {
    // Backup semantics let a folder be opened too, so that it is refused as a folder.
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        return LastError(path);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return LastError(path);
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Fault(path, std::errc::is_a_directory);
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Fault(path, FileFault::NotRegularFile);
    }
    std::string content;
    char buffer[65536];
    while (content.size() < limit) {
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, limit - content.size()));
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, wanted, &got, nullptr)) {
            return LastError(path);
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, got);
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
        return Fault(path, std::errc::no_such_file_or_directory);
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Fault(path, std::errc::is_a_directory);
    }
    // A file where the folder should be: Windows would say only that the path is not found.
    const DWORD parent = ::GetFileAttributesW(path.parent_path().c_str());
    if (!exists && parent != INVALID_FILE_ATTRIBUTES && (parent & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return Fault(path, std::errc::not_a_directory);
    }
    // A read-only file stays as it is; the replace alone would take its place.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Fault(path, std::errc::permission_denied);
    }
    FileResult<fs::path> written = WriteBeside(path, bytes);
    if (!written) {
        return written.error();
    }
    TemporaryFile temporary(*written);
    // ReplaceFileW keeps the target's attributes, security and creation time; where it
    // cannot (the target is missing, another volume), the move takes the place whole.
    const bool replaced =
        exists && ::ReplaceFileW(path.c_str(), temporary.path().c_str(), nullptr,
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    if (!replaced && !::MoveFileExW(temporary.path().c_str(), path.c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return LastError(path);
    }
    temporary.release();
    return {};
}

// Windows gives no mode bits: a new folder under the user's profile is the user's alone by
// its inherited security, which is what a private folder needs.
FileResult<void> MakeFolders(const fs::path& folder, Access) {
    std::error_code error;
    fs::path built;
    for (const fs::path& part : folder) {
        built /= part;
        if (fs::is_directory(built, error)) {
            continue;
        }
        if (!::CreateDirectoryW(built.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return LastError(built);
        }
    }
    if (!fs::is_directory(folder, error)) {
        return Fault(folder, std::errc::not_a_directory);
    }
    return {};
}

FileResult<fs::path> StoreNewPrivateFile(const fs::path& folder,
                                         const std::function<std::string(int attempt)>& nameFor,
                                         std::string_view bytes, int attempts) {
    if (FileResult<void> made = MakeFolders(folder, Access::Private); !made) {
        return made.error();
    }
    FileResult<fs::path> written = WriteBeside(folder / ".new", bytes);
    if (!written) {
        return written.error();
    }
    TemporaryFile temporary(*written);
    // A move without MOVEFILE_REPLACE_EXISTING never takes another file's place.
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const fs::path target = folder / PathFromUtf8(nameFor(attempt));
        if (::MoveFileExW(temporary.path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            temporary.release();
            return target;
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) {
            return FileError{PathToUtf8(target), FromWin32(code)};
        }
    }
    return Fault(folder, FileFault::NoFreeName);
}

FileResult<AppendFile> AppendFile::openPrivate(const fs::path& path) {
    const auto open = [&] {
        return ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    Handle file(open());
    if (!file.valid() && ::GetLastError() == ERROR_PATH_NOT_FOUND && path.has_parent_path()) {
        if (FileResult<void> made = MakeFolders(path.parent_path(), Access::Private); !made) {
            return made.error();
        }
        file.reset(open());
    }
    if (!file.valid()) {
        return LastError(path);
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Fault(path, FileFault::NotRegularFile);
    }
    return AppendFile(path, reinterpret_cast<std::intptr_t>(file.release()));
}

void AppendFile::close() {
    if (handle_ != -1) {
        ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, -1)));
    }
}

FileResult<std::uint64_t> AppendFile::size() const {
    LARGE_INTEGER size{};
    if (handle_ == -1) {
        return Fault(path_, std::errc::bad_file_descriptor);
    }
    if (!::GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size)) {
        return LastError(path_);
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

FileResult<void> AppendFile::append(std::string_view bytes) {
    if (handle_ == -1) {
        return Fault(path_, std::errc::bad_file_descriptor);
    }
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    // An offset of all ones writes at the end of the file, whatever others appended.
    OVERLAPPED atEnd{};
    atEnd.Offset = 0xFFFFFFFF;
    atEnd.OffsetHigh = 0xFFFFFFFF;
    if (!WriteFully(file, bytes, &atEnd) || !::FlushFileBuffers(file)) {
        return LastError(path_);
    }
    return {};
}

} // namespace tarvik::base
