#include "simlib/LoadedLibrary.h"

#include <string>
#include <windows.h>

namespace quenlib {

namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int units =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (units <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), units);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

} // namespace

std::unique_ptr<LoadedLibrary> LoadedLibrary::open(const std::string& path) {
    const std::wstring widePath = Widen(path);
    if (widePath.empty()) {
        return nullptr;
    }
    HMODULE handle = ::LoadLibraryW(widePath.c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(reinterpret_cast<void*>(handle)));
}

const char* LoadedLibrary::defaultCaseModule() {
    return "dorlin.dll";
}

std::string LoadedLibrary::caseModuleFromEnvironment() {
    // Read as UTF-16, so that a path outside the ANSI code page survives.
    const DWORD units = ::GetEnvironmentVariableW(L"QUENLIB_CASE_MODULE", nullptr, 0);
    if (units == 0) {
        return {};
    }
    std::wstring value(units, L'\0');
    const DWORD copied = ::GetEnvironmentVariableW(L"QUENLIB_CASE_MODULE", value.data(), units);
    value.resize(copied < units ? copied : 0);
    return Narrow(value);
}

LoadedLibrary::~LoadedLibrary() {
    ::FreeLibrary(reinterpret_cast<HMODULE>(handle_));
}

void* LoadedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

} // namespace quenlib
