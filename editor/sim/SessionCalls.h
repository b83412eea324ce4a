#pragma once

#include "editor/sim/LibraryCalls.h"
#include "simlib/session/ReaderSession.h"

#include <string>
#include <utility>

namespace tarvik {

// A library session of its own on one reader: its own context and connection, apart from
// the default session and from every other reader's.
class SessionCalls final : public LibraryCalls {
public:
    explicit SessionCalls(std::string reader) : session_(std::move(reader)) {}

    const std::string& reader() const { return session_.reader(); }

    QLRESULT open() override;
    QLRESULT close() override;
    QLRESULT connect() override;
    QLRESULT disconnect() override;
    QLRESULT pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft) override;
    QLRESULT pinContext(QL_PIN_CONTEXT& context) override;
    QLRESULT verifyPin1(std::string_view pin) override;
    QLRESULT disablePin1(std::string_view pin) override;
    QLRESULT cardInfo(QL_CARD_INFO& info) override;
    QLRESULT iccid(char* digits, std::uint32_t size) override;
    QLRESULT selectPhonebook(QL_FILE_INFO& info) override;
    QLRESULT readItem(QL_ADN_ITEM& item) override;
    QLRESULT writeItem(QL_ADN_ITEM& item) override;
    QLRESULT flush() override;
    QLRESULT readRecord(std::uint32_t index, std::uint8_t* buffer) override;
    QLRESULT writeRecord(std::uint32_t index, const std::uint8_t* buffer) override;
    QLRESULT extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size) override;
    QLRESULT replaceExtensions(const std::uint8_t* source, std::uint32_t count) override;
    QLRESULT selectShortMessages(QL_COUNT_INFO& info) override;
    QLRESULT selectOwnNumbers(QL_FILE_INFO& info) override;

private:
    quenlib::ReaderSession session_;
};

} // namespace tarvik
