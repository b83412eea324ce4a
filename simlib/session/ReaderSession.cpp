#include "simlib/session/ReaderSession.h"

#include "simlib/CardInfo.h"
#include "simlib/Chv.h"
#include "simlib/ExportGuard.h"
#include "simlib/Iccid.h"
#include "simlib/LibraryState.h"
#include "simlib/OwnNumbers.h"
#include "simlib/Phonebook.h"
#include "simlib/Session.h"
#include "simlib/ShortMessages.h"

#include <optional>
#include <utility>

namespace quenlib {

ReaderSession::ReaderSession(std::string reader, CardBackend* backend)
    : reader_(std::move(reader)), state_(std::make_unique<LibraryState>()) {
    state_->backend = backend;
}

ReaderSession::~ReaderSession() {
    disconnect();
    close();
}

template <typename Body>
QLRESULT ReaderSession::run(Body&& body) noexcept {
    const SessionBinding bound(*state_);
    return guarded(std::forward<Body>(body));
}

QLRESULT ReaderSession::open() {
    return run([&] { return initialise(reader_); });
}

QLRESULT ReaderSession::close() {
    run([] { return finalise(); });
    return QL_OK;
}

QLRESULT ReaderSession::connect() {
    return run([] { return connectCard(); });
}

QLRESULT ReaderSession::disconnect() {
    run([] { return disconnectCard(); });
    return QL_OK;
}

QLRESULT ReaderSession::pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft) {
    return run([&] {
        ChvState chv;
        const QLRESULT result = queryChvState(false, chv);
        if (result == QL_OK) {
            enabled = chv.pin1Enabled ? 1 : 0;
            attemptsLeft = chv.pin1AttemptsLeft;
        }
        return result;
    });
}

QLRESULT ReaderSession::pinContext(QL_PIN_CONTEXT& context) {
    return run([&] {
        ChvState chv;
        const QLRESULT result = queryChvState(true, chv);
        if (result == QL_OK) {
            fillPinContext(chv, context);
        }
        return result;
    });
}

QLRESULT ReaderSession::verifyPin1(std::string_view pin) {
    return run([&] { return runChvCommand(ChvCommand::Verify, pin, std::nullopt); });
}

QLRESULT ReaderSession::disablePin1(std::string_view pin) {
    return run([&] { return runChvCommand(ChvCommand::Disable, pin, std::nullopt); });
}

QLRESULT ReaderSession::cardInfo(QL_CARD_INFO& info) {
    return run([&] { return describeCard(info); });
}

QLRESULT ReaderSession::iccid(char* digits, std::uint32_t size) {
    if (digits == nullptr) {
        return QL_E_FAILED;
    }
    return run([&] { return readIccid(digits, size); });
}

QLRESULT ReaderSession::selectPhonebook(QL_FILE_INFO& info) {
    return run([&] { return quenlib::selectPhonebook(info); });
}

QLRESULT ReaderSession::readItem(QL_ADN_ITEM& item) {
    return run([&] { return readPhonebookItem(item); });
}

QLRESULT ReaderSession::writeItem(QL_ADN_ITEM& item) {
    return run([&] { return writePhonebookItem(item); });
}

QLRESULT ReaderSession::flush() {
    return run([] { return flushExtensions(); });
}

QLRESULT ReaderSession::readRecord(std::uint32_t index, std::uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return run([&] { return readPhonebookRecord(index, buffer); });
}

QLRESULT ReaderSession::writeRecord(std::uint32_t index, const std::uint8_t* buffer) {
    if (buffer == nullptr) {
        return QL_E_FAILED;
    }
    return run([&] { return writePhonebookRecord(index, buffer); });
}

QLRESULT ReaderSession::extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size) {
    return run([&] { return extensionWorkingCopy(buffer, size); });
}

QLRESULT ReaderSession::replaceExtensions(const std::uint8_t* source, std::uint32_t count) {
    if (source == nullptr) {
        return QL_E_FAILED;
    }
    return run([&] { return replaceExtensionWorkingCopy(source, count); });
}

QLRESULT ReaderSession::selectShortMessages(QL_COUNT_INFO& info) {
    return run([&] { return quenlib::selectShortMessages(info); });
}

QLRESULT ReaderSession::selectOwnNumbers(QL_FILE_INFO& info) {
    return run([&] { return quenlib::selectOwnNumbers(info); });
}

} // namespace quenlib
