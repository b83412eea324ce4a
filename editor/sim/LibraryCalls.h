#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>
#include <string_view>

namespace tarvik {

// The card library's calls that the editor makes, all on one library session: the
// library's default session through its exports (ExportCalls), or a session of its own on
// one reader (SessionCalls). Each has the meaning and the results of the export it names.
class LibraryCalls {
public:
    virtual ~LibraryCalls() = default;

    virtual QLRESULT open() = 0;       // QLSIM_Init
    virtual QLRESULT close() = 0;      // QLSIM_Final
    virtual QLRESULT connect() = 0;    // QLSIM_Connect
    virtual QLRESULT disconnect() = 0; // QLSIM_Disconnect
    virtual QLRESULT pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft) = 0;
    virtual QLRESULT pinContext(QL_PIN_CONTEXT& context) = 0;
    virtual QLRESULT verifyPin1(std::string_view pin) = 0;
    virtual QLRESULT disablePin1(std::string_view pin) = 0;
    virtual QLRESULT cardInfo(QL_CARD_INFO& info) = 0;
    virtual QLRESULT iccid(char* digits, std::uint32_t size) = 0;
    virtual QLRESULT selectPhonebook(QL_FILE_INFO& info) = 0; // QLADN_SelectFile
    virtual QLRESULT readItem(QL_ADN_ITEM& item) = 0;         // QLADN_ReadItemW
    virtual QLRESULT writeItem(QL_ADN_ITEM& item) = 0;        // QLADN_WriteItemW
    virtual QLRESULT flush() = 0;                             // QLADN_Flush
    virtual QLRESULT readRecord(std::uint32_t index, std::uint8_t* buffer) = 0;
    virtual QLRESULT writeRecord(std::uint32_t index, const std::uint8_t* buffer) = 0;
    virtual QLRESULT extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size) = 0;
    virtual QLRESULT replaceExtensions(const std::uint8_t* source, std::uint32_t count) = 0;
    virtual QLRESULT selectShortMessages(QL_COUNT_INFO& info) = 0; // QLSMS_SelectFile
    virtual QLRESULT selectOwnNumbers(QL_FILE_INFO& info) = 0;     // QLISDN_SelectFile
};

} // namespace tarvik
