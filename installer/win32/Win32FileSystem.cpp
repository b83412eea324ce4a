#include "installer/win32/Win32FileSystem.h"

#include "installer/win32/Win32Text.h"

#include <windows.h>

namespace installer {

namespace {

// The last error's words, as a failure.
Status LastError() {
    return Status::failure(SystemMessage(::GetLastError()));
}

Status Checked(BOOL done) {
    return done ? Status{} : LastError();
}

// Closes a file handle when it goes.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) {
            ::CloseHandle(handle_);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

bool Win32FileSystem::exists(std::string_view path) {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::isFolder(std::string_view path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Status Win32FileSystem::copyFile(std::string_view from, std::string_view to) {
    return Checked(::CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE));
}

Status Win32FileSystem::moveFile(std::string_view from, std::string_view to) {
    // No copy: a program that runs from the file can be renamed, never copied and deleted.
    return Checked(::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), 0));
}

Status Win32FileSystem::writeFile(std::string_view path, std::string_view bytes) {
    FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return LastError();
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != bytes.size()) {
        return LastError();
    }
    return Checked(::FlushFileBuffers(file.get()));
}

Outcome<std::string> Win32FileSystem::readFile(std::string_view path) {
    using Result = Outcome<std::string>;
    FileHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !::GetFileSizeEx(file.get(), &size)) {
        return Result::failure(LastError().error);
    }
    constexpr LONGLONG largest = 1 << 20; // the installer reads only its small text files
    if (size.QuadPart > largest) {
        return Result::failure("the file is larger than 1 MiB");
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return Result::failure(LastError().error);
    }
    bytes.resize(read);
    return {bytes, {}};
}

Status Win32FileSystem::removeFile(std::string_view path) {
    const std::wstring wide = Wide(path);
    // A read-only file (as a copy of one may be) is deleted too.
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return Checked(::DeleteFileW(wide.c_str()));
}

Status Win32FileSystem::makeFolder(std::string_view path) {
    return Checked(::CreateDirectoryW(Wide(path).c_str(), nullptr));
}

Status Win32FileSystem::removeFolder(std::string_view path) {
    return Checked(::RemoveDirectoryW(Wide(path).c_str()));
}

} // namespace installer
