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
    bool isOk() const { return hasStatusWord() && sw1() == 0x90 && sw2() == 0x00; }
    // The bytes before the status word.
    std::span<const std::uint8_t> data() const {
        return {bytes.data(), hasStatusWord() ? count - 2 : 0};
    }
};

// A GSM command header; P3 is the length byte.
struct CommandHeader {
    std::uint8_t ins = 0;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;
    std::uint8_t p3 = 0;
};

// The one exchange with the card. Without data the card is expected to answer P3 bytes
// (256 for 0) and a status word; with data, P3 data bytes are sent (none when P3 is 0)
// and only a status word comes back. Succeeds when PC/SC does, whatever the status word.
std::optional<CardResponse> transmit(const Connection& connection, CommandHeader header,
                                     std::optional<std::span<const std::uint8_t>> data);

// SELECT by file identifier; on a 9F xx answer yields xx, the response length waiting.
// Keeps the library's record of the card's position up to date.
std::optional<std::uint8_t> selectFile(const Connection& connection, std::uint16_t fileId);

// Makes `file` of `directory` the card's current file, selecting both unless the library's
// last selections left the card there already. Another family's selection in between (the
// short messages after the phonebook, say) thus never makes one family use another's file.
bool selectPath(const Connection& connection, std::uint16_t directory, std::uint16_t file);

// GET RESPONSE of `length` bytes (0 for 256); the status word is not examined.
std::optional<CardResponse> getResponse(const Connection& connection, std::uint8_t length);

// READ RECORD in absolute mode; succeeds only on 90 00 with the whole record received.
// Record 0 (the card's current record) is refused without sending.
std::optional<CardResponse> readRecord(const Connection& connection, std::uint8_t record,
                                       std::uint8_t length);

// UPDATE RECORD in absolute mode with data.size() (at most 255) bytes; true on 90 00.
// Record 0 (the card's current record) is refused without sending.
bool updateRecord(const Connection& connection, std::uint8_t record,
                  std::span<const std::uint8_t> data);

// READ BINARY of `length` bytes (1 to 255) from the start of the transparent file selected;
// succeeds only on 90 00 with every byte received.
std::optional<CardResponse> readBinary(const Connection& connection, std::uint8_t length);

// Record `index` (0-based) of `file` in `directory`, whose records are `length` bytes:
// read whole into buffer followed by its status word, or written from buffer's first
// `length` bytes. False when the length is 0, the file cannot be selected or the card
// refuses the record.
bool readRawRecord(const Connection& connection, std::uint16_t directory, std::uint16_t file,
                   unsigned length, std::uint32_t index, std::uint8_t* buffer);
bool writeRawRecord(const Connection& connection, std::uint16_t directory, std::uint16_t file,
                    unsigned length, std::uint32_t index, const std::uint8_t* buffer);

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
