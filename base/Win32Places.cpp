// Where the programs keep their data on Windows, and where the running program lies.
#include "base/HelperProgram.h"
#include "base/Places.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <windows.h>
// After windows.h, which these need.
#include <knownfolders.h>
#include <shlobj.h>

namespace tarvik {

std::filesystem::path RunningProgramFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

namespace base {
namespace {

struct TaskMemoryFree {
    void operator()(wchar_t* memory) const { ::CoTaskMemFree(memory); }
};

// The user's roaming application data folder; the current folder when the system does not
// tell.
std::filesystem::path RoamingAppData() {
    wchar_t* found = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &found);
    const std::unique_ptr<wchar_t, TaskMemoryFree> owner(found);
    return SUCCEEDED(result) && found != nullptr ? std::filesystem::path(found)
                                                 : std::filesystem::path(L".");
}

// UTF-16 of UTF-8 text.
std::wstring Wide(const std::string& utf8) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          length);
    return wide;
}

} // namespace

// Through the C runtime, which keeps its own copy of the environment for getenv and passes
// the change on to the system's.
void SetProcessEnvironment(const std::string& name, const std::string& value) {
    const std::wstring assignment = Wide(name) + L"=" + Wide(value);
    ::_wputenv(assignment.c_str());
}

std::filesystem::path AppDataFolder() {
    return RoamingAppData() / "Tarvik";
}

// The settings live in the registry; files that go with them share the data folder.
std::filesystem::path AppConfigFolder() {
    return RoamingAppData() / "Tarvik";
}

} // namespace base
} // namespace tarvik
