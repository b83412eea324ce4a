// The QLISDN_ exports: the card's own numbers.
#include "simlib/ExportGuard.h"
#include "simlib/OwnNumbers.h"
#include "simlib/include/quenlib.h"

using namespace quenlib;

extern "C" {

QL_API QLRESULT QLISDN_SelectFile(QL_FILE_INFO* info) {
    if (info == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return selectOwnNumbers(*info); });
}

QL_API QLRESULT QLISDN_ReadItemW(uint32_t index, QL_CHAR16* name, QL_CHAR16* number) {
    if (name == nullptr || number == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readOwnNumber(index, name, number); });
}

QL_API QLRESULT QLISDN_WriteItemW(uint32_t index, const QL_CHAR16* name, const QL_CHAR16* number) {
    if (name == nullptr || number == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return writeOwnNumber(index, name, number); });
}

} // extern "C"
