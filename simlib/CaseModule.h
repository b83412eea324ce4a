#pragma once

#include "simlib/LoadedLibrary.h"
#include "simlib/include/quenlib_case.h"

#include <memory>
#include <string>

namespace quenlib {

// The loaded case module and its entry points. Entry points the module lacks are null.
// Destroying it calls the module's Final and unloads it.
class CaseModule {
public:
    // The module named by QUENLIB_CASE_MODULE, else the platform's default module from the
    // library search path, loaded and initialised; null when it is missing or its Init fails.
    static std::shared_ptr<CaseModule> load();
    static std::shared_ptr<CaseModule> load(const std::string& path);

    ~CaseModule();
    CaseModule(const CaseModule&) = delete;
    CaseModule& operator=(const CaseModule&) = delete;

    QLCASE_CaseToAdn caseToAdn = nullptr;
    QLCASE_ModifyCase modifyCase = nullptr;
    QLCASE_AppendCase appendCase = nullptr;
    QLCASE_DeleteCase deleteCase = nullptr;

private:
    explicit CaseModule(std::unique_ptr<LoadedLibrary> library);

    std::unique_ptr<LoadedLibrary> library_;
    QLCASE_Final final_ = nullptr;
};

} // namespace quenlib
