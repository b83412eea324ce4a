#include "editor/sim/SessionCalls.h"

namespace tarvik {

QLRESULT SessionCalls::open() {
    return session_.open();
}

QLRESULT SessionCalls::close() {
    return session_.close();
}

QLRESULT SessionCalls::connect() {
    return session_.connect();
}

QLRESULT SessionCalls::disconnect() {
    return session_.disconnect();
}

QLRESULT SessionCalls::pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft) {
    return session_.pin1State(enabled, attemptsLeft);
}

QLRESULT SessionCalls::pinContext(QL_PIN_CONTEXT& context) {
    return session_.pinContext(context);
}

QLRESULT SessionCalls::verifyPin1(std::string_view pin) {
    return session_.verifyPin1(pin);
}

QLRESULT SessionCalls::disablePin1(std::string_view pin) {
    return session_.disablePin1(pin);
}

QLRESULT SessionCalls::cardInfo(QL_CARD_INFO& info) {
    return session_.cardInfo(info);
}

QLRESULT SessionCalls::iccid(char* digits, std::uint32_t size) {
    return session_.iccid(digits, size);
}

QLRESULT SessionCalls::selectPhonebook(QL_FILE_INFO& info) {
    return session_.selectPhonebook(info);
}

QLRESULT SessionCalls::readItem(QL_ADN_ITEM& item) {
    return session_.readItem(item);
}

QLRESULT SessionCalls::writeItem(QL_ADN_ITEM& item) {
    return session_.writeItem(item);
}

QLRESULT SessionCalls::flush() {
    return session_.flush();
}

QLRESULT SessionCalls::readRecord(std::uint32_t index, std::uint8_t* buffer) {
    return session_.readRecord(index, buffer);
}

QLRESULT SessionCalls::writeRecord(std::uint32_t index, const std::uint8_t* buffer) {
    return session_.writeRecord(index, buffer);
}

QLRESULT SessionCalls::extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size) {
    return session_.extensionBuffer(buffer, size);
}

QLRESULT SessionCalls::replaceExtensions(const std::uint8_t* source, std::uint32_t count) {
    return session_.replaceExtensions(source, count);
}

QLRESULT SessionCalls::selectShortMessages(QL_COUNT_INFO& info) {
    return session_.selectShortMessages(info);
}

QLRESULT SessionCalls::selectOwnNumbers(QL_FILE_INFO& info) {
    return session_.selectOwnNumbers(info);
}

} // namespace tarvik
