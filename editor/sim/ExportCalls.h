#pragma once

#include "editor/sim/LibraryCalls.h"

namespace tarvik {

// The library's default session, through its exports: the one every program that loads
// the library shares, reader chosen by QUENLIB_READER.
class ExportCalls final : public LibraryCalls {
public:
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
    // The word connect and disconnect are given; the library does not read it.
    std::uint32_t connectionWord_ = 68;
};

} // namespace tarvik
