#pragma once

#include "simlib/include/quenlib.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quenlib {

class CardBackend;
struct LibraryState;

// A library session of its own on one reader, beside the default session that the exports
// use: its own PC/SC context, its own exclusive connection, and everything the library
// remembers between calls (the selected files, the extension records, the known records).
// The calls are those of the exports of the same meaning, with the same results. Each call
// binds the session to the calling thread while it runs, so sessions on different threads
// work at the same time and a failure in one reaches no other; one session is used by one
// thread at a time.
class ReaderSession {
public:
    // `reader` is a reader's name as PC/SC lists it, or "*" for the first reader holding a
    // card. `backend` replaces the pcsc-lite backend (tests); it must outlive the session.
    explicit ReaderSession(std::string reader, CardBackend* backend = nullptr);
    // Disconnects and releases the context.
    ~ReaderSession();
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;

    const std::string& reader() const { return reader_; }

    // QLSIM_Init (the session's own context; its reader stays the one given), QLSIM_Final,
    // QLSIM_Connect, QLSIM_Disconnect.
    QLRESULT open();
    QLRESULT close();
    QLRESULT connect();
    QLRESULT disconnect();

    // QLSIM_GetPIN1State, QLSIM_GetPINContext, QLSIM_VerifyPIN1, QLSIM_DisablePIN1.
    QLRESULT pin1State(std::uint32_t& enabled, std::uint32_t& attemptsLeft);
    QLRESULT pinContext(QL_PIN_CONTEXT& context);
    QLRESULT verifyPin1(std::string_view pin);
    QLRESULT disablePin1(std::string_view pin);
    // QLSIM_GetCardInfo, QLSIM_GetICCID.
    QLRESULT cardInfo(QL_CARD_INFO& info);
    QLRESULT iccid(char* digits, std::uint32_t size);

    // QLADN_SelectFile, QLADN_ReadItemW, QLADN_WriteItemW, QLADN_Flush, QLADN_ReadRecord,
    // QLADN_WriteRecord, QLADN_ReadExt1BufP, QLADN_WriteExt1Buf.
    QLRESULT selectPhonebook(QL_FILE_INFO& info);
    QLRESULT readItem(QL_ADN_ITEM& item);
    QLRESULT writeItem(QL_ADN_ITEM& item);
    QLRESULT flush();
    QLRESULT readRecord(std::uint32_t index, std::uint8_t* buffer);
    QLRESULT writeRecord(std::uint32_t index, const std::uint8_t* buffer);
    QLRESULT extensionBuffer(std::uint8_t*& buffer, std::uint32_t& size);
    QLRESULT replaceExtensions(const std::uint8_t* source, std::uint32_t count);

    // QLSMS_SelectFile, QLISDN_SelectFile.
    QLRESULT selectShortMessages(QL_COUNT_INFO& info);
    QLRESULT selectOwnNumbers(QL_FILE_INFO& info);

private:
    template <typename Body>
    QLRESULT run(Body&& body) noexcept;

    std::string reader_;
    std::unique_ptr<LibraryState> state_;
};

} // namespace quenlib
