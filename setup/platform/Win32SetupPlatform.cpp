#include "setup/platform/Win32SetupPlatform.h"

#include "setup/WindowsCommandLine.h"
#include "setup/platform/FolderTree.h"
#include "setup/platform/Win32Text.h"

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <windows.h>

namespace setup {

namespace {

// The setup core joins and splits paths at "/", which Windows accepts as a separator too;
// paths from the system are handed to it in that form.
std::string CorePath(std::wstring_view systemPath) {
    std::string path = Utf8FromWide(systemPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path;
}

// The Windows folder's "TEMP", made when missing: where temporary files go on a system that
// names no temporary folder.
std::optional<std::string> WindowsTempFolder() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    const UINT length = ::GetWindowsDirectoryW(buffer.data(), MAX_PATH);
    if (length == 0 || length > MAX_PATH) {
        return std::nullopt;
    }
    const std::wstring folder = std::wstring(buffer.data(), length) + L"\\TEMP";
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !::CreateDirectoryW(folder.c_str(), nullptr)) {
        return std::nullopt;
    }
    return CorePath(folder) + '/';
}

// RtlGetVersion tells the truth; GetVersionExA reports what the program's manifest allows.
std::optional<OsVersion> VersionFromNtdll() {
    using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return std::nullopt;
    }
    const auto call = reinterpret_cast<RtlGetVersionCall>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (call == nullptr || call(&info) != 0) {
        return std::nullopt;
    }
    return OsVersion{info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion};
}

} // namespace

std::optional<OsVersion> HostOsVersion() {
    if (std::optional<OsVersion> version = VersionFromNtdll()) {
        return version;
    }
    // The extended record first, the basic one where the system refuses it.
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        return OsVersion{extended.dwPlatformId == VER_PLATFORM_WIN32_NT, extended.dwMajorVersion};
    }
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    if (::GetVersionExA(&basic)) {
        return OsVersion{basic.dwPlatformId == VER_PLATFORM_WIN32_NT, basic.dwMajorVersion};
    }
    return std::nullopt;
}

SystemTime CurrentUtcTime() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    return SystemTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string DefaultLogPath() {
    if (const wchar_t* chosen = ::_wgetenv(L"QL_INST_LOG"); chosen != nullptr && *chosen != 0) {
        return Utf8FromWide(chosen);
    }
    return "c:\\ql_inst.log";
}

std::optional<OsVersion> Win32SetupPlatform::queryOsVersion() {
    return HostOsVersion();
}

std::string Win32SetupPlatform::modulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return CorePath(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> Win32SetupPlatform::currentDirectory() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> buffer(size + 1);
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (size == 0 || length == 0 || length >= buffer.size()) {
        return std::nullopt;
    }
    return CorePath(std::wstring_view(buffer.data(), length));
}

std::optional<std::string> Win32SetupPlatform::systemTempFolder() {
    std::vector<wchar_t> buffer(MAX_PATH + 2);
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) {
        return std::nullopt;
    }
    return WithSlash(CorePath(std::wstring_view(buffer.data(), length)));
}

std::optional<std::string> Win32SetupPlatform::createTempFolder(std::string_view prefix) {
    std::optional<std::string> parent = systemTempFolder();
    if (!parent) {
        parent = WindowsTempFolder();
    }
    if (!parent) {
        return std::nullopt;
    }
    // The system reserves a unique name by creating an empty file "pppXXXX.tmp"; the folder
    // takes that name with its last letter turned into "!".
    std::vector<wchar_t> name(MAX_PATH + 1);
    const std::wstring wantedPrefix = WideFromUtf8(prefix.substr(0, 3));
    if (::GetTempFileNameW(WideFromUtf8(*parent).c_str(), wantedPrefix.c_str(), 0, name.data()) ==
        0) {
        return std::nullopt;
    }
    std::wstring folder = name.data();
    ::DeleteFileW(folder.c_str());
    folder.back() = L'!';
    if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
        return std::nullopt;
    }
    return CorePath(folder) + '/';
}

bool Win32SetupPlatform::deleteFolderTree(const std::string& path) {
    return DeleteFolderTreeSkippingDotNames(path);
}

bool Win32SetupPlatform::deleteFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const std::wstring wide = WideFromUtf8(path);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(wide.c_str()) != 0;
}

std::optional<ProcessId> Win32SetupPlatform::startProcess(const ProcessCommand& command) {
    if (command.program.empty()) {
        return std::nullopt;
    }
    // The system takes the program from the command line's first word; the call may write
    // into the line, so it gets its own copy.
    std::string program = command.program;
    std::replace(program.begin(), program.end(), '/', '\\');
    std::wstring line = WideFromUtf8(JoinWindowsCommandLine(program, command.arguments));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return std::nullopt;
    }
    ::CloseHandle(started.hThread);
    return static_cast<ProcessId>(reinterpret_cast<std::intptr_t>(started.hProcess));
}

void Win32SetupPlatform::waitForProcess(ProcessId process) {
    const auto handle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(process));
    ::WaitForSingleObject(handle, INFINITE);
    ::CloseHandle(handle);
}

} // namespace setup
