#include "simlib/ShortMessages.h"

#include "simlib/CardCommands.h"
#include "simlib/ItemText.h"
#include "simlib/LibraryState.h"
#include "simlib/coding/CdmaSmsRecord.h"
#include "simlib/coding/GsmSmsRecord.h"
#include "gsm/TextCoding.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace quenlib {

namespace {

DirectoryPath messageDirectory(const LibraryState& s) {
    return s.cdmaSms ? kCdmaPath : kTelecomPath;
}

// Keeps the EF SMS just selected, in the CDMA directory or in DF Telecom, and tells its
// record count.
QLRESULT useMessageFile(LibraryState& s, const std::optional<FileGeometry>& geometry, bool cdma,
                        QL_COUNT_INFO& info) {
    if (!geometry) {
        return QL_E_SELECT_EF;
    }
    s.sms = *geometry;
    s.cdmaSms = cdma;
    info.count = static_cast<std::uint32_t>(s.sms.recordCount);
    return QL_OK;
}

// UICC: EF SMS of the CDMA directory when the card has both, else of DF Telecom.
QLRESULT selectUiccShortMessages(LibraryState& s, const Connection& connection, bool cdmaDirectory,
                                 QL_COUNT_INFO& info) {
    std::optional<FileGeometry> geometry;
    if (cdmaDirectory) {
        geometry = selectRecordFile(connection, kCdmaPath, kEfSms);
    }
    const bool cdma = geometry.has_value();
    if (!cdma) {
        geometry = selectRecordFile(connection, kTelecomPath, kEfSms);
    }
    return useMessageFile(s, geometry, cdma, info);
}

void clear(QL_SMS_ITEM& item) {
    item.status = 0;
    std::fill(std::begin(item.address), std::end(item.address), QL_CHAR16{0});
    std::fill(std::begin(item.text), std::end(item.text), QL_CHAR16{0});
    item.addressLength = 0;
    item.textLength = 0;
    item.timeStamp = QL_SMS_TIME{};
}

void store(const ShortMessage& message, bool cdma, QL_SMS_ITEM& item) {
    item.status = message.status;
    std::uint32_t stored = 0;
    // Addresses are digits: a 0 unit (a CDMA address of 8-bit characters may hold one) ends
    // the address, so that its length and what a C caller sees agree.
    storeText(beforeFirstNul(message.address), item.address, stored);
    // The length of a GSM address counts its type-of-address byte too.
    item.addressLength = stored + (message.hasTpdu ? 1 : 0);
    storeText(message.text, item.text, stored);
    // UCS2 texts of GSM records count bytes, as their TP-UDL does.
    item.textLength = !cdma && message.coding == MessageCoding::Ucs2 ? 2 * stored : stored;
    const MessageTime& t = message.time;
    item.timeStamp = QL_SMS_TIME{static_cast<std::uint16_t>(t.year),
                                 static_cast<std::uint16_t>(t.month),
                                 0,
                                 static_cast<std::uint16_t>(t.day),
                                 static_cast<std::uint16_t>(t.hour),
                                 static_cast<std::uint16_t>(t.minute),
                                 static_cast<std::uint16_t>(t.second),
                                 0};
}

// The message to write from an item. A GSM 7-bit or 8-bit text stores as many characters as
// the item's text length says, never more than the text has.
ShortMessage messageOf(const QL_SMS_ITEM& item, bool cdma) {
    ShortMessage message;
    message.status = item.status;
    message.address = fieldText(item.address);
    message.text = fieldText(item.text);
    if (!cdma && gsm::SelectTextForm(message.text) != gsm::TextForm::Ucs2) {
        message.text.resize(std::min<std::size_t>(item.textLength, message.text.size()));
    }
    const QL_SMS_TIME& t = item.timeStamp;
    message.time = {t.year, t.month, t.day, t.hour, t.minute, t.second};
    return message;
}

} // namespace

QLRESULT selectShortMessages(QL_COUNT_INFO& info) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    // A card with the CDMA directory and short messages in it keeps CDMA records.
    std::optional<std::uint8_t> response;
    const bool cdmaDirectory = enterDirectory(connection, kCdmaPath);
    if (cardMode() == CardMode::Uicc) {
        return selectUiccShortMessages(s, connection, cdmaDirectory, info);
    }
    if (cdmaDirectory) {
        response = selectFile(connection, kEfSms);
    }
    const bool cdma = response.has_value();
    if (!cdma) {
        if (!selectFile(connection, kDfTelecom)) {
            return QL_E_SELECT_EF;
        }
        response = selectFile(connection, kEfSms);
        if (!response) {
            return QL_E_SELECT_EF;
        }
    }
    return useMessageFile(s, readFileInformation(connection, *response), cdma, info);
}

QLRESULT readShortMessage(QL_SMS_ITEM& item) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    clear(item);
    const unsigned length = s.sms.recordLength;
    if (length == 0 || item.index > kLastItemIndex ||
        !selectPath(*s.connection, messageDirectory(s), kEfSms)) {
        return QL_E_READ;
    }
    const auto response =
        readRecord(*s.connection, recordNumber(item.index), static_cast<std::uint8_t>(length));
    if (!response) {
        return QL_E_READ;
    }
    if (!s.cdmaSms) {
        store(ParseGsmRecord(response->data()), false, item);
        return QL_OK;
    }
    const auto message = ParseCdmaRecord(response->data());
    if (!message) {
        return QL_E_READ;
    }
    store(*message, true, item);
    return QL_OK;
}

QLRESULT writeShortMessage(QL_SMS_ITEM& item) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    // The '+' goes from the caller's record, but a GSM record keeps it as the international
    // type of number.
    const ShortMessage message = messageOf(item, s.cdmaSms);
    dropLeadingPlus(item.address);
    const unsigned length = s.sms.recordLength;
    if (length == 0 || item.index > kLastItemIndex) {
        return QL_E_WRITE;
    }
    const auto record =
        s.cdmaSms ? BuildCdmaRecord(message, length) : BuildGsmRecord(message, length);
    if (!record || !selectPath(*s.connection, messageDirectory(s), kEfSms) ||
        !updateRecord(*s.connection, recordNumber(item.index), *record)) {
        return QL_E_WRITE;
    }
    return QL_OK;
}

QLRESULT readShortMessageRecord(std::uint32_t index, std::uint8_t* buffer) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    return readRawRecord(*s.connection, messageDirectory(s), kEfSms, s.sms.recordLength, index,
                         buffer)
               ? QL_OK
               : QL_E_READ;
}

QLRESULT writeShortMessageRecord(std::uint32_t index, const std::uint8_t* buffer) {
    LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    return writeRawRecord(*s.connection, messageDirectory(s), kEfSms, s.sms.recordLength, index,
                          buffer)
               ? QL_OK
               : QL_E_WRITE;
}

} // namespace quenlib
