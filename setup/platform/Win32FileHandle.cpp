// The file calls of the setup core on Windows. A FileHandle holds a C runtime descriptor that
// wraps the system's handle, so that the core keeps one handle type on every system; folders
// are opened as handles too (with backup semantics), and a name inside a folder is resolved
// against the folder's final path.

#include "setup/platform/FileHandle.h"
#include "setup/platform/Win32Text.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace setup {

namespace {

HANDLE SystemHandle(const FileHandle& file) {
    if (!file.valid()) {
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(::_get_osfhandle(file.get()));
}

FileHandle Adopt(HANDLE handle, int flags) {
    if (handle == INVALID_HANDLE_VALUE) {
        return FileHandle();
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        ::CloseHandle(handle);
        return FileHandle();
    }
    return FileHandle(fd);
}

// The path of an open folder, without the "\\?\" form's prefix being removed: the wide calls
// accept it, and it lifts the length limit.
std::wstring FolderPath(const FileHandle& folder) {
    const HANDLE handle = SystemHandle(folder);
    if (handle == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    DWORD length =
        ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length >= path.size()) {
        path.resize(length + 1);
        length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    }
    if (length == 0 || length >= path.size()) {
        return {};
    }
    path.resize(length);
    return path;
}

std::wstring ChildPath(const FileHandle& parent, const std::string& name) {
    std::wstring path = FolderPath(parent);
    if (path.empty() || name.empty() || name.find_first_of("/\\") != std::string::npos) {
        return {};
    }
    if (path.back() != L'\\') {
        path += L'\\';
    }
    return path + WideFromUtf8(name);
}

HANDLE OpenFolderHandle(const std::wstring& path, bool followLink) {
    DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
    if (!followLink) {
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    }
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return handle;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const DWORD refused = followLink ? 0 : FILE_ATTRIBUTE_REPARSE_POINT;
    if (!::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & refused) != 0) {
        ::CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

} // namespace

std::optional<std::uint64_t> FileSize(const FileHandle& file) {
    LARGE_INTEGER size{};
    const HANDLE handle = SystemHandle(file);
    if (handle == INVALID_HANDLE_VALUE || !::GetFileSizeEx(handle, &size)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t ReadAt(const FileHandle& file, std::uint64_t offset, std::span<char> buffer) {
    const HANDLE handle = SystemHandle(file);
    std::size_t done = 0;
    while (handle != INVALID_HANDLE_VALUE && done < buffer.size()) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const auto wanted =
            static_cast<DWORD>(std::min<std::size_t>(buffer.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handle, buffer.data() + done, wanted, &got, &at) || got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

bool WriteAll(const FileHandle& file, std::span<const char> data) {
    const HANDLE handle = SystemHandle(file);
    std::size_t done = 0;
    while (done < data.size()) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
        DWORD put = 0;
        if (handle == INVALID_HANDLE_VALUE ||
            !::WriteFile(handle, data.data() + done, wanted, &put, nullptr) || put == 0) {
            return false;
        }
        done += put;
    }
    return true;
}

bool PathExists(const std::string& path) {
    return !path.empty() &&
           ::GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileHandle OpenForReading(const std::string& path) {
    if (path.empty()) {
        return FileHandle();
    }
    const HANDLE handle =
        ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Only a file on disk: a folder does not open this way, and a pipe or device is refused.
    if (handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return FileHandle();
    }
    return Adopt(handle, _O_RDONLY | _O_BINARY);
}

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

FileHandle OpenForAppending(const std::string& path) {
    if (path.empty()) {
        return FileHandle();
    }
    // A link at the log's place is opened as itself and then refused, as anything but a
    // plain file on disk is.
    const HANDLE handle = ::CreateFileW(
        WideFromUtf8(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return FileHandle();
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(handle);
        return FileHandle();
    }
    return Adopt(handle, _O_WRONLY | _O_APPEND | _O_BINARY);
}

FileHandle OpenFolder(const std::string& path) {
    if (path.empty()) {
        return FileHandle();
    }
    return Adopt(OpenFolderHandle(WideFromUtf8(path), true), _O_RDONLY);
}

FileHandle OpenFolderAt(const FileHandle& parent, const std::string& name) {
    const std::wstring path = ChildPath(parent, name);
    if (path.empty()) {
        return FileHandle();
    }
    return Adopt(OpenFolderHandle(path, false), _O_RDONLY);
}

FileHandle ReplaceFileAt(const FileHandle& parent, const std::string& name) {
    const std::wstring path = ChildPath(parent, name);
    if (path.empty()) {
        return FileHandle();
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // Only a plain file is replaced: a folder or a link at this name stays as it is.
        if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
            return FileHandle();
        }
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(path.c_str())) {
            return FileHandle();
        }
    }
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return Adopt(handle, _O_WRONLY | _O_BINARY);
}

FolderResult MakeFolderAt(const FileHandle& parent, const std::string& name) {
    const std::wstring path = ChildPath(parent, name);
    if (path.empty()) {
        return FolderResult::Failed;
    }
    if (::CreateDirectoryW(path.c_str(), nullptr)) {
        return FolderResult::Created;
    }
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? FolderResult::Existed : FolderResult::Failed;
}

std::vector<std::string> ListFolderNames(const FileHandle& folder) {
    std::vector<std::string> names;
    std::wstring pattern = FolderPath(folder);
    if (pattern.empty()) {
        return names;
    }
    pattern += pattern.back() == L'\\' ? L"*" : L"\\*";
    WIN32_FIND_DATAW item{};
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &item);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(Utf8FromWide(item.cFileName));
    } while (::FindNextFileW(search, &item));
    ::FindClose(search);
    return names;
}

bool CopyBetweenFiles(const FileHandle&, std::uint64_t, const FileHandle&, std::uint64_t,
                      std::uint64_t& copied) {
    // No kernel copy between two handles here: the caller's buffer does the work.
    copied = 0;
    return false;
}

bool TruncateFile(const FileHandle& file, std::uint64_t size) {
    const HANDLE handle = SystemHandle(file);
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    return handle != INVALID_HANDLE_VALUE &&
           ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle);
}

} // namespace setup
