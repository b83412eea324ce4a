// The QLSMS_ exports: short messages.
#include "simlib/ExportGuard.h"
#include "simlib/ShortMessages.h"
#include "simlib/include/quenlib.h"

using namespace quenlib;

extern "C" {

QL_API QLRESULT QLSMS_SelectFile(QL_COUNT_INFO* info) {
    if (info == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return selectShortMessages(*info); });
}

QL_API QLRESULT QLSMS_ReadItemW(QL_SMS_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readShortMessage(*item); });
}

QL_API QLRESULT QLSMS_WriteItemW(QL_SMS_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return writeShortMessage(*item); });
}

QL_API QLRESULT QLSMS_ReadRecord(uint32_t index, uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readShortMessageRecord(index, buffer); });
}

QL_API QLRESULT QLSMS_WriteRecord(uint32_t index, const uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return writeShortMessageRecord(index, buffer); });
}

} // extern "C"
