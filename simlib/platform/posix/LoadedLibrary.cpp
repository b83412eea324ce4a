#include "simlib/LoadedLibrary.h"

#include <cstdlib>
#include <dlfcn.h>

namespace quenlib {

std::unique_ptr<LoadedLibrary> LoadedLibrary::open(const std::string& path) {
    // RTLD_LOCAL keeps the module's Init and Final from standing in for anyone else's.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<LoadedLibrary>(new LoadedLibrary(handle));
}

const char* LoadedLibrary::defaultCaseModule() {
    return "libdorlin.so";
}

std::string LoadedLibrary::caseModuleFromEnvironment() {
    const char* path = std::getenv("QUENLIB_CASE_MODULE");
    return path != nullptr ? path : "";
}

LoadedLibrary::~LoadedLibrary() {
    ::dlclose(handle_);
}

void* LoadedLibrary::symbol(const char* name) const {
    return ::dlsym(handle_, name);
}

} // namespace quenlib
