// The only file that calls the card library's exports.
#include "editor/sim/ExportCalls.h"

#include <string>

namespace tarvik {

QLRESULT ExportCalls::open() {
    return QLSIM_Init();
}

QLRESULT ExportCalls::close() {
    return QLSIM_Final();
}

QLRESULT ExportCalls::connect() {
    return QLSIM_Connect(&connectionWord_);
}

QLRESULT ExportCalls::disconnect() {
    return QLSIM_Disconnect(&connectionWord_);
}

QLRESULT ExportCalls::pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft) {
    return QLSIM_GetPIN1State(&enabled, &attemptsLeft);
}

QLRESULT ExportCalls::pinContext(QL_PIN_CONTEXT& context) {
    return QLSIM_GetPINContext(&context);
}

QLRESULT ExportCalls::verifyPin1(std::string_view pin) {
    const std::string code(pin);
    return QLSIM_VerifyPIN1(code.c_str());
}

QLRESULT ExportCalls::disablePin1(std::string_view pin) {
    const std::string code(pin);
    return QLSIM_DisablePIN1(code.c_str());
}

QLRESULT ExportCalls::cardInfo(QL_CARD_INFO& info) {
    return QLSIM_GetCardInfo(&info);
}

QLRESULT ExportCalls::iccid(char* digits, std::uint32_t size) {
    return QLSIM_GetICCID(digits, size);
}

QLRESULT ExportCalls::selectPhonebook(QL_FILE_INFO& info) {
    return QLADN_SelectFile(&info);
}

QLRESULT ExportCalls::readItem(QL_ADN_ITEM& item) {
    return QLADN_ReadItemW(&item);
}

QLRESULT ExportCalls::writeItem(QL_ADN_ITEM& item) {
    return QLADN_WriteItemW(&item);
}

QLRESULT ExportCalls::flush() {
    return QLADN_Flush();
}

QLRESULT ExportCalls::readRecord(std::uint32_t index, std::uint8_t* buffer) {
    return QLADN_ReadRecord(index, buffer);
}

QLRESULT ExportCalls::writeRecord(std::uint32_t index, const std::uint8_t* buffer) {
    return QLADN_WriteRecord(index, buffer);
}

QLRESULT ExportCalls::extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size) {
    return QLADN_ReadExt1BufP(&buffer, &size);
}

QLRESULT ExportCalls::replaceExtensions(const std::uint8_t* source, std::uint32_t count) {
    return QLADN_WriteExt1Buf(source, count);
}

QLRESULT ExportCalls::selectShortMessages(QL_COUNT_INFO& info) {
    return QLSMS_SelectFile(&info);
}

QLRESULT ExportCalls::selectOwnNumbers(QL_FILE_INFO& info) {
    return QLISDN_SelectFile(&info);
}

} // namespace tarvik
