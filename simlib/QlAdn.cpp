// The QLADN_ exports: the phonebook and its extension records.
#include "simlib/ExportGuard.h"
#include "simlib/Phonebook.h"
#include "simlib/include/quenlib.h"

using namespace quenlib;

extern "C" {

QL_API QLRESULT QLADN_SelectFile(QL_FILE_INFO* info) {
    if (info == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return selectPhonebook(*info); });
}

QL_API QLRESULT QLADN_ReadItemW(QL_ADN_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readPhonebookItem(*item); });
}

QL_API QLRESULT QLADN_WriteItemW(QL_ADN_ITEM* item) {
    if (item == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return writePhonebookItem(*item); });
}

QL_API QLRESULT QLADN_Flush(void) {
    return guarded([] { return flushExtensions(); });
}

QL_API QLRESULT QLADN_ReadRecord(uint32_t index, uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return readPhonebookRecord(index, buffer); });
}

QL_API QLRESULT QLADN_WriteRecord(uint32_t index, const uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return writePhonebookRecord(index, buffer); });
}

QL_API QLRESULT QLADN_ReadExt1BufP(uint8_t** buffer, uint32_t* size) {
    if (buffer == nullptr || size == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return extensionWorkingCopy(*buffer, *size); });
}

QL_API QLRESULT QLADN_WriteExt1Buf(const uint8_t* source, uint32_t count) {
    if (source == nullptr) {
        return QL_E_FAILED;
    }
    return guarded([&] { return replaceExtensionWorkingCopy(source, count); });
}

} // extern "C"
