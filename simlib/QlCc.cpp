// The QLCC_ exports: case records through the case module.
#include "simlib/CaseRecords.h"
#include "simlib/ExportGuard.h"
#include "simlib/include/quenlib.h"

using namespace quenlib;

extern "C" {

QL_API QLRESULT QLCC_IsCcSupport(void) {
    return guarded([] { return recogniseCaseCard(); });
}

QL_API QLRESULT QLCC_SelectFile(QL_COUNT_INFO* info) {
    if (info == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return selectCaseRecords(*info); });
}

QL_API QLRESULT QLCC_ReadItemW(QL_CC_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readCaseRecord(*item); });
}

QL_API QLRESULT QLCC_ModifyItemW(QL_CC_ITEM* oldItem, QL_CC_ITEM* newItem) {
    if (oldItem == nullptr || newItem == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return modifyCaseRecord(*oldItem, *newItem); });
}

QL_API QLRESULT QLCC_AppendItemW(QL_CC_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return appendCaseRecord(*item); });
}

QL_API QLRESULT QLCC_DeleteItemW(QL_CC_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return deleteCaseRecord(*item); });
}

} // extern "C"
