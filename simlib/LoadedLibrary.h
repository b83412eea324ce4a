#pragma once

#include <memory>
#include <string>

namespace quenlib {

// A shared library loaded at run time, unloaded when the last owner lets go. Each platform
// has its own loader (platform/*/LoadedLibrary.cpp).
class LoadedLibrary {
public:
    // Loads the library at `path` (UTF-8; a bare name is looked up the platform's way); null
    // when it cannot be loaded.
    static std::unique_ptr<LoadedLibrary> open(const std::string& path);

    // The case module's name when QUENLIB_CASE_MODULE is unset: "dorlin.dll" on Windows,
    // "libdorlin.so" elsewhere.
    static const char* defaultCaseModule();
    // QUENLIB_CASE_MODULE as UTF-8, empty when unset.
    static std::string caseModuleFromEnvironment();

    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // The address of an exported name, null when the library lacks it.
    void* symbol(const char* name) const;

private:
    explicit LoadedLibrary(void* handle) : handle_(handle) {}

    void* handle_;
};

} // namespace quenlib
