// The installer for Windows: run by setup from an unpacked package, it installs what the
// package's install.ini lists for the current user (no administrator rights); run with
// /uninstall as the installed uninstall.exe, it takes all of that away again. A window-less
// program: it shows message boxes unless it runs quietly, and its exit status tells the result.

#include "installer/InstallList.h"
#include "installer/InstallRun.h"
#include "installer/Switches.h"
#include "installer/WindowsPath.h"
#include "installer/win32/Win32Desktop.h"
#include "installer/win32/Win32FileSystem.h"
#include "installer/win32/Win32Registry.h"
#include "installer/win32/Win32Text.h"

#include <string>
#include <vector>
#include <windows.h>
// The shell's headers need windows.h before them.
#include <shellapi.h>
#include <shlobj.h>

namespace installer {

namespace {

constexpr wchar_t messageTitle[] = L"Tarvik setup";
constexpr std::string_view installListName = "install.ini";

std::vector<std::string> Arguments() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8(words[i]));
    }
    ::LocalFree(words);
    return arguments;
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) {
        folder = Utf8(path);
    }
    ::CoTaskMemFree(path);
    return folder;
}

std::string OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Utf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string TempFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    std::string folder = Utf8(std::wstring_view(path, ::GetTempPathW(MAX_PATH + 1, path)));
    while (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

// Tells the result: on standard error when there is one, in a message box unless quiet.
void Tell(const std::string& message, bool failed, bool quiet) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (error != nullptr && error != INVALID_HANDLE_VALUE) {
        const std::string line = "installer: " + message + "\n";
        DWORD written = 0;
        ::WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    if (!quiet) {
        ::MessageBoxW(nullptr, Wide(message).c_str(), messageTitle,
                      MB_OK | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
    }
}

int Finish(const Outcome<std::string>& outcome, bool quiet) {
    Tell(outcome.ok() ? outcome.value : outcome.error, !outcome.ok(), quiet);
    return outcome.ok() ? exitDone : exitFailed;
}

int Run() {
    const Outcome<Switches> switches = ReadSwitches(Arguments());
    if (!switches.ok()) {
        Tell(switches.error, true, false);
        return exitBadRequest;
    }
    const bool quiet = switches.value.quiet;
    Win32FileSystem files;
    Win32Registry registry;
    Win32Desktop desktop;
    Machine machine{files, registry, desktop};
    const std::string ownPath = OwnPath();
    InstallPlaces places{
        ParentFolder(ownPath), {}, KnownFolder(FOLDERID_Programs), ownPath, TempFolder()};
    const std::string listPath = JoinPath(places.packageFolder, installListName);
    Task task = switches.value.task;
    // The installed uninstall.exe, started without a switch, has no list beside it.
    if (task == Task::Install && !files.exists(listPath) &&
        files.exists(JoinPath(places.packageFolder, installRecordName))) {
        task = Task::Uninstall;
    }

    if (task == Task::Uninstall) {
        places.installFolder = places.packageFolder;
        if (!quiet) {
            const std::string question = "Remove the programs installed in " +
                                         places.installFolder +
                                         ", with their shortcut and settings?";
            if (::MessageBoxW(nullptr, Wide(question).c_str(), messageTitle,
                              MB_YESNO | MB_ICONQUESTION) != IDYES) {
                return exitCancelled;
            }
        }
        // Out of the folder, so that it can go.
        ::SetCurrentDirectoryW(Wide(places.tempFolder).c_str());
        return Finish(UninstallProduct(places, machine), quiet);
    }

    const Outcome<std::string> text = files.readFile(listPath);
    if (!text.ok()) {
        Tell("Cannot read the install list " + listPath + ": " + text.error + ".", true, quiet);
        return exitBadRequest;
    }
    const Outcome<InstallList> list = ParseInstallList(text.value);
    if (!list.ok()) {
        Tell("The install list " + listPath + " is faulty: " + list.error + ".", true, quiet);
        return exitBadRequest;
    }
    const std::string localAppData = KnownFolder(FOLDERID_LocalAppData);
    if (localAppData.empty() || places.startMenuFolder.empty()) {
        Tell("Windows names no folder for this user's programs.", true, quiet);
        return exitFailed;
    }
    places.installFolder = JoinPath(JoinPath(localAppData, "Programs"), list.value.folder);
    return Finish(InstallProduct(list.value, places, machine), quiet);
}

} // namespace

} // namespace installer

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*arguments*/,
                    int /*show*/) {
    return installer::Run();
}
