#pragma once

#include "simlib/LibraryState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quenlib {

inline constexpr std::uint16_t kMasterFile = 0x3F00;
inline constexpr std::uint16_t kEfIccid = 0x2FE2;
inline constexpr std::uint16_t kDfTelecom = 0x7F10;
inline constexpr std::uint16_t kEfAdn = 0x6F3A;
inline constexpr std::uint16_t kEfExt1 = 0x6F4A;
inline constexpr std::uint16_t kEfSms = 0x6F3C;
inline constexpr std::uint16_t kEfMsisdn = 0x6F40;
// The CDMA directory (3GPP2 R-UIM), which holds the short messages of CDMA cards.
inline constexpr std::uint16_t kDfCdma = 0x7F25;
// The phonebook directory below DF Telecom or the USIM's ADF, and its EF_PBR (3GPP TS 31.102
// §4.4.2); EF.DIR under the MF, the list of applications (ETSI TS 102 221 §13.1).
inline constexpr std::uint16_t kDfPhonebook = 0x5F3A;
inline constexpr std::uint16_t kEfPbr = 0x4F30;
inline constexpr std::uint16_t kEfDir = 0x2F00;

inline constexpr DirectoryPath kMasterPath = DirectoryPath::master();
inline constexpr DirectoryPath kTelecomPath = DirectoryPath::of(kDfTelecom);
inline constexpr DirectoryPath kCdmaPath = DirectoryPath::of(kDfCdma);

// Item indexes are zero-based and reach records 1 ... 255. A larger index would wrap, as
// index + 1 cut to 8 bits, onto record 0 (the card's current record) or onto a low record: a
// read or write of another entry than the one asked for.
inline constexpr std::uint32_t kLastItemIndex = 254;

// What the card sent back: data bytes followed by the two status-word bytes.
struct CardResponse {
    std::array<std::uint8_t, 256 + 2> bytes{};
    std::size_t count = 0;

    bool hasStatusWord() const { return count >= 2; }
    std::uint8_t sw1() const { return bytes[count - 2]; }
    std::uint8_t sw2() const { return bytes[count - 1]; }
    std::uint16_t statusWord() const { return static_cast<std::uint16_t>(sw1() << 8 | sw2()); }
    // A normal ending: 90 00, 91 xx (a proactive command waits) and 92 0x (written after
    // internal retries), GSM 11.11 §9.4.1 and §9.4.2.
    bool isOk() const { return hasStatusWord() && isSuccess(sw1(), sw2()); }
    // The bytes before the status word.
    std::span<const std::uint8_t> data() const {
        return {bytes.data(), hasStatusWord() ? count - 2 : 0};
    }

    static bool isSuccess(std::uint8_t sw1, std::uint8_t sw2) {
        return (sw1 == 0x90 && sw2 == 0x00) || sw1 == 0x91 || (sw1 == 0x92 && (sw2 & 0xF0) == 0);
    }
};

// A command header; P3 is the length byte (Lc with data, Le without).
struct CommandHeader {
    std::uint8_t ins = 0;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;
    std::uint8_t p3 = 0;
    // Data goes both ways (ISO/IEC 7816-3 case 4): over T=1 an Le of 00 follows the data;
    // over T=0 the card answers 61 xx instead.
    bool answersData = false;
};

// The class byte of the card's mode: A0 for GSM 11.11 (and while the mode is unknown), 00
// for a UICC.
std::uint8_t classByte(CardMode mode);

// The one exchange with the card, below every command. The command goes out with the
// class of the card's mode; without data the card is expected to answer P3 bytes (256 for
// 0), with data P3 data bytes are sent (none when P3 is 0). The T=0 procedure bytes are
// handled here, whatever the reader does (ISO/IEC 7816-3, ETSI TS 102 221 §7.3.1.1.4):
// 61 xx fetches the xx bytes waiting with GET RESPONSE (again while 61 xx comes back), 6C xx
// sends the same command again with P3 = xx. 9F xx is left to the caller, as GSM 11.11 has
// it. A bounded number of rounds: a card that never stops asking ends in a failure.
// The first answer of a connection sets the card's mode. Succeeds when PC/SC does, whatever
// the final status word; a refusal is remembered in the library's state.
std::optional<CardResponse> transmit(const Connection& connection, CommandHeader header,
                                     std::optional<std::span<const std::uint8_t>> data);

// As transmit, for a command whose form depends on the card's mode: `build` gives the
// header for a mode. When the card's first answer of the connection says it is a UICC, the
// command is sent again in that mode's form.
template <typename Build>
std::optional<CardResponse> transmitInMode(const Connection& connection, Build&& build,
                                           std::optional<std::span<const std::uint8_t>> data) {
    const bool probing = state().mode == CardMode::Unknown;
    auto response = transmit(connection, build(probing ? CardMode::Gsm : state().mode), data);
    if (probing && state().mode == CardMode::Uicc) {
        response = transmit(connection, build(CardMode::Uicc), data);
    }
    return response;
}

// The card's mode, sending nothing; Unknown before the first answer of the connection.
CardMode cardMode();

// SELECT by file identifier in the current directory (or the MF, or a DF the card reaches
// from there). GSM: on a 9F xx answer yields xx, the response length waiting. UICC: asks
// for no FCP (P2 = 0C) and yields 0 on success. Keeps the library's record of the card's
// position up to date.
std::optional<std::uint8_t> selectFile(const Connection& connection, std::uint16_t fileId);

// UICC: SELECT by file identifier asking for the FCP (P2 = 04); its bytes (from tag 62) on
// success. 62 83 (the file is deactivated, ETSI TS 102 221 §10.2.1.2) is a failure.
std::optional<CardResponse> selectFileWithFcp(const Connection& connection, std::uint16_t fileId);

// Makes `directory` the card's current directory, unless the library's last selections
// left the card there already. UICC: from the MF down, the ADF by its AID.
bool selectDirectory(const Connection& connection, const DirectoryPath& directory);

// Enters `directory` the way a family's selection starts. GSM: selects it, whatever the
// card's position, as the library has always done. UICC: as selectDirectory.
bool enterDirectory(const Connection& connection, const DirectoryPath& directory);

// Makes `file` of `directory` the card's current file, selecting both unless the library's
// last selections left the card there already. Another family's selection in between (the
// short messages after the phonebook, say) thus never makes one family use another's file.
bool selectPath(const Connection& connection, const DirectoryPath& directory, std::uint16_t file);

// Selects record file `file` of `directory` and gives its record length and count. GSM:
// SELECT and GET RESPONSE of the file information, as the library has always done. UICC:
// the FCP once per file and connection, later a SELECT without one.
std::optional<FileGeometry> selectRecordFile(const Connection& connection,
                                             const DirectoryPath& directory, std::uint16_t file);

// GET RESPONSE of `length` bytes (0 for 256); the status word is not examined.
std::optional<CardResponse> getResponse(const Connection& connection, std::uint8_t length);

// READ RECORD in absolute mode; succeeds only on a normal ending with the whole record
// received. Record 0 (the card's current record) is refused without sending.
std::optional<CardResponse> readRecord(const Connection& connection, std::uint8_t record,
                                       std::uint8_t length);

// UPDATE RECORD in absolute mode with data.size() (at most 255) bytes; true on a normal
// ending, and on a UICC also on 63 Cx (written after internal retries, ETSI TS 102 221
// §10.2.1.3). Record 0 (the card's current record) is refused without sending.
bool updateRecord(const Connection& connection, std::uint8_t record,
                  std::span<const std::uint8_t> data);

// READ BINARY of `length` bytes (1 to 255) from the start of the transparent file selected;
// succeeds only on a normal ending with every byte received.
std::optional<CardResponse> readBinary(const Connection& connection, std::uint8_t length);

// Record `index` (0-based) of `file` in `directory`, whose records are `length` bytes:
// read whole into buffer followed by its status word, or written from buffer's first
// `length` bytes. False when the length is 0, the file cannot be selected or the card
// refuses the record.
bool readRawRecord(const Connection& connection, const DirectoryPath& directory, std::uint16_t file,
                   unsigned length, std::uint32_t index, std::uint8_t* buffer);
bool writeRawRecord(const Connection& connection, const DirectoryPath& directory,
                    std::uint16_t file, unsigned length, std::uint32_t index,
                    const std::uint8_t* buffer);

// The record number on the card of a 0-based index: index + 1 cut to 8 bits.
inline std::uint8_t recordNumber(std::uint32_t index) {
    return static_cast<std::uint8_t>(index + 1);
}

// Reads the file information of the file just selected (`responseLength` from SELECT):
// its record length and count. Fails on a failed GET RESPONSE, an answer too short to
// hold the fields, or a record length of 0.
std::optional<FileGeometry> readFileInformation(const Connection& connection,
                                                std::uint8_t responseLength);

} // namespace quenlib
