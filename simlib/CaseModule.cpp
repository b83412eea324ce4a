#include "simlib/CaseModule.h"

#include <cstdlib>
#include <dlfcn.h>

namespace quenlib {

namespace {

constexpr const char* kDefaultModule = "libdorlin.so";

template <typename Entry>
Entry entryPoint(void* handle, const char* name) {
    return reinterpret_cast<Entry>(::dlsym(handle, name));
}

} // namespace

std::shared_ptr<CaseModule> CaseModule::load() {
    const char* path = std::getenv("QUENLIB_CASE_MODULE");
    return load(path != nullptr && *path != '\0' ? path : kDefaultModule);
}

std::shared_ptr<CaseModule> CaseModule::load(const std::string& path) {
    // RTLD_LOCAL keeps the module's Init and Final from standing in for anyone else's.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    const auto init = entryPoint<QLCASE_Init>(handle, "Init");
    if (init != nullptr && init() != 0) {
        // The module says it cannot work: nothing of it is used, not even Final.
        ::dlclose(handle);
        return nullptr;
    }
    std::shared_ptr<CaseModule> module(new CaseModule(handle));
    module->final_ = entryPoint<QLCASE_Final>(handle, "Final");
    module->caseToAdn = entryPoint<QLCASE_CaseToAdn>(handle, "CaseToAdn");
    module->modifyCase = entryPoint<QLCASE_ModifyCase>(handle, "ModifyCase");
    module->appendCase = entryPoint<QLCASE_AppendCase>(handle, "AppendCase");
    module->deleteCase = entryPoint<QLCASE_DeleteCase>(handle, "DeleteCase");
    return module;
}

CaseModule::CaseModule(void* handle) : handle_(handle) {}

CaseModule::~CaseModule() {
    if (final_ != nullptr) {
        final_();
    }
    ::dlclose(handle_);
}

} // namespace quenlib
