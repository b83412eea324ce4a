#include "simlib/CaseModule.h"

#include <utility>

namespace quenlib {

namespace {

template <typename Entry>
Entry EntryPoint(const LoadedLibrary& library, const char* name) {
    return reinterpret_cast<Entry>(library.symbol(name));
}

} // namespace

std::shared_ptr<CaseModule> CaseModule::load() {
    const std::string path = LoadedLibrary::caseModuleFromEnvironment();
    return load(!path.empty() ? path : LoadedLibrary::defaultCaseModule());
}

std::shared_ptr<CaseModule> CaseModule::load(const std::string& path) {
    auto library = LoadedLibrary::open(path);
    if (library == nullptr) {
        return nullptr;
    }
    const auto init = EntryPoint<QLCASE_Init>(*library, "Init");
    if (init != nullptr && init() != 0) {
        // The module says it cannot work: nothing of it is used, not even Final.
        return nullptr;
    }
    std::shared_ptr<CaseModule> module(new CaseModule(std::move(library)));
    const LoadedLibrary& loaded = *module->library_;
    module->final_ = EntryPoint<QLCASE_Final>(loaded, "Final");
    module->caseToAdn = EntryPoint<QLCASE_CaseToAdn>(loaded, "CaseToAdn");
    module->modifyCase = EntryPoint<QLCASE_ModifyCase>(loaded, "ModifyCase");
    module->appendCase = EntryPoint<QLCASE_AppendCase>(loaded, "AppendCase");
    module->deleteCase = EntryPoint<QLCASE_DeleteCase>(loaded, "DeleteCase");
    return module;
}

CaseModule::CaseModule(std::unique_ptr<LoadedLibrary> library) : library_(std::move(library)) {}

CaseModule::~CaseModule() {
    if (final_ != nullptr) {
        final_();
    }
}

} // namespace quenlib
