// Where the programs keep their data on Windows, and where the running program lies.
#include "base/HelperProgram.h"
#include "base/Places.h"

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

} // namespace

std::filesystem::path AppDataFolder() {
    return RoamingAppData() / "Tarvik";
}

// The settings live in the registry; files that go with them share the data folder.
std::filesystem::path AppConfigFolder() {
    return RoamingAppData() / "Tarvik";
}

} // namespace base
} // namespace tarvik
