#include "simlib/include/quenlib.h"

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The names hosts link against, sorted as nm lists them: the 35 of the first interface,
// QLSIM_GetICCID and QLSIM_GetCardInfo.
const std::vector<std::string> kExports = {
    "QLADN_Flush",        "QLADN_ReadExt1BufP",  "QLADN_ReadItemW",  "QLADN_ReadRecord",
    "QLADN_SelectFile",   "QLADN_WriteExt1Buf",  "QLADN_WriteItemW", "QLADN_WriteRecord",
    "QLCC_AppendItemW",   "QLCC_DeleteItemW",    "QLCC_IsCcSupport", "QLCC_ModifyItemW",
    "QLCC_ReadItemW",     "QLCC_SelectFile",     "QLISDN_ReadItemW", "QLISDN_SelectFile",
    "QLISDN_WriteItemW",  "QLSIM_ChangePIN1",    "QLSIM_Connect",    "QLSIM_DisablePIN1",
    "QLSIM_Disconnect",   "QLSIM_EnablePIN1",    "QLSIM_Final",      "QLSIM_GetCardInfo", "QLSIM_GetICCID",
    "QLSIM_GetPIN1State", "QLSIM_GetPINContext", "QLSIM_Init",       "QLSIM_Status",
    "QLSIM_StatusChange", "QLSIM_UnblockPIN1",   "QLSIM_VerifyPIN1", "QLSMS_ReadItemW",
    "QLSMS_ReadRecord",   "QLSMS_SelectFile",    "QLSMS_WriteItemW", "QLSMS_WriteRecord",
};

std::vector<std::string> definedDynamicSymbols(const std::string& library) {
    const std::string command = "nm -D --defined-only '" + library + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::string> names;
    if (!pipe) {
        return names;
    }
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
        std::istringstream fields(line);
        std::string address;
        std::string type;
        std::string name;
        if (fields >> address >> type >> name) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Exports, LibraryExportsExactlyTheInterface) {
    ASSERT_EQ(kExports.size(), 37u);
    EXPECT_EQ(definedDynamicSymbols(QUENLIB_LIBRARY_PATH), kExports);
}

TEST(Exports, LoadedLibraryAnswersThroughItsExports) {
    std::unique_ptr<void, int (*)(void*)> library(::dlopen(QUENLIB_LIBRARY_PATH, RTLD_NOW),
                                                  ::dlclose);
    ASSERT_TRUE(library) << ::dlerror();
    for (const std::string& name : kExports) {
        EXPECT_NE(::dlsym(library.get(), name.c_str()), nullptr) << name;
    }
    using Status = QLRESULT (*)(uint32_t);
    using NoArgument = QLRESULT (*)(void*);
    const auto status = reinterpret_cast<Status>(::dlsym(library.get(), "QLSIM_StatusChange"));
    const auto disconnect =
        reinterpret_cast<NoArgument>(::dlsym(library.get(), "QLSIM_Disconnect"));
    const auto connect = reinterpret_cast<NoArgument>(::dlsym(library.get(), "QLSIM_Connect"));
    ASSERT_TRUE(status && disconnect && connect);
    EXPECT_EQ(status(0), QL_E_FAILED);
    EXPECT_EQ(disconnect(nullptr), QL_OK);
    EXPECT_EQ(connect(nullptr), QL_E_NO_CONTEXT);
}

} // namespace
