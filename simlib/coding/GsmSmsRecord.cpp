#include "simlib/coding/GsmSmsRecord.h"

#include "gsm/ByteReader.h"
#include "gsm/GsmAlphabet.h"
#include "gsm/NumberCoding.h"
#include "gsm/TextCoding.h"
#include "gsm/Tpdu.h"

#include <algorithm>

namespace quenlib {

namespace {

// The TPDU fields the library writes: a sent message asks for a status report and is valid
// for the longest relative period; the data coding schemes are the general group's.
constexpr std::uint8_t kMessageReference = 0x04;
constexpr std::uint8_t kValidityPeriod = 0xFF;

gsm::Alphabet AlphabetOf(gsm::TextForm form) {
    switch (form) {
    case gsm::TextForm::SevenBit:
        return gsm::Alphabet::SevenBit;
    case gsm::TextForm::EightBit:
        return gsm::Alphabet::EightBit;
    case gsm::TextForm::Ucs2:
        break;
    }
    return gsm::Alphabet::Ucs2;
}

} // namespace

gsm::TextForm SelectMessageForm(std::u16string_view text) {
    const bool sevenBit = std::all_of(
        text.begin(), text.end(), [](char16_t c) { return c < 0x80 && gsm::SeptetsFor(c) != 0; });
    if (sevenBit) {
        return gsm::TextForm::SevenBit;
    }
    return gsm::SelectTextForm(text) == gsm::TextForm::Ucs2 ? gsm::TextForm::Ucs2
                                                            : gsm::TextForm::EightBit;
}

ShortMessage ParseGsmRecord(std::span<const std::uint8_t> record) {
    ShortMessage message;
    // GSM 11.11, 10.5.3: bit 1 clear is a free record; an erased record is all FF.
    if (record.empty() || (record[0] & 0x01) == 0 || record[0] == 0xFF) {
        return message;
    }
    const std::uint8_t status = record[0];
    if (!IsReceived(status) && !IsSent(status) && status != kSmsToSend) {
        message.status = kSmsUnknown;
        return message;
    }
    message.status = IsSent(status) ? kSmsSent : status;
    gsm::ByteReader in(record.subspan(1));
    in.skip(in.byte()); // service-centre address
    const gsm::ShortMessageTpdu tpdu = gsm::ParseTpdu(in.rest());
    switch (tpdu.type) {
    case gsm::TpduType::Deliver:
        if (!IsReceived(status)) {
            message.status = kSmsReceivedRead;
        }
        message.time = tpdu.serviceCentreTime;
        break;
    case gsm::TpduType::Submit:
        if (IsReceived(status)) {
            message.status = kSmsToSend;
        }
        break;
    case gsm::TpduType::StatusReport:
    case gsm::TpduType::Reserved:
        // Status reports and commands carry no text.
        return message;
    }
    message.hasTpdu = true;
    message.address = tpdu.address;
    message.coding = tpdu.alphabet;
    message.text = tpdu.text;
    return message;
}

std::optional<std::vector<std::uint8_t>> BuildGsmRecord(const ShortMessage& message,
                                                        std::size_t recordLength) {
    std::vector<std::uint8_t> record;
    const bool received = IsReceived(message.status);
    const bool sent = IsSent(message.status) || message.status == kSmsToSend;
    if ((message.address.empty() && message.text.empty()) || (!received && !sent)) {
        return std::vector<std::uint8_t>(recordLength, 0xFF);
    }
    // The SUBMIT asks for a status report, so a sent message waits for it (3GPP TS 31.102).
    record.push_back(static_cast<std::uint8_t>(message.status == kSmsSent ? kSmsSentReportAwaited
                                                                          : message.status));
    // A service-centre address with its type only: the phone fills in its own.
    record.push_back(0x01);
    record.push_back(gsm::kTonNpiUnknown);
    const gsm::Alphabet alphabet = AlphabetOf(SelectMessageForm(message.text));
    const std::uint8_t dataCoding = gsm::DataCodingOf(alphabet);
    const auto head = received ? gsm::EncodeDeliverHead({.originator = message.address,
                                                         .dataCoding = dataCoding,
                                                         .serviceCentreTime = message.time})
                               : gsm::EncodeSubmitHead({.reference = kMessageReference,
                                                        .destination = message.address,
                                                        .dataCoding = dataCoding,
                                                        .statusReport = true,
                                                        .validity = kValidityPeriod});
    record.insert(record.end(), head.begin(), head.end());
    if (recordLength < record.size() + 1) {
        return std::nullopt;
    }
    // The text is cut to what TP-UD holds, and to what the rest of the record holds after
    // TP-UDL.
    gsm::AppendUserText(record, message.text, alphabet, recordLength - record.size() - 1);
    record.resize(recordLength, 0xFF);
    return record;
}

} // namespace quenlib
