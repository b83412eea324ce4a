#include "gsm/Tpdu.h"

#include "gsm/ByteReader.h"

namespace gsm {

namespace {

// First octet (3GPP TS 23.040 §9.2.3).
constexpr std::uint8_t kMessageTypeMask = 0x03;
constexpr std::uint8_t kNoMoreMessages = 0x04;    // TP-MMS of an SMS-DELIVER
constexpr std::uint8_t kValidityRelative = 0x10;  // TP-VPF of an SMS-SUBMIT, bits 4 and 3 = 10
constexpr std::uint8_t kStatusReportAsked = 0x20; // TP-SRR of an SMS-SUBMIT
constexpr std::uint8_t kUserDataHeader = 0x40;    // TP-UDHI

// TP-VPF: 0 no validity period, 2 relative (one octet), 1 and 3 seven octets.
std::size_t ValidityOctets(std::uint8_t firstOctet) {
    const unsigned format = (firstOctet >> 3) & 0x03;
    return format == 0 ? 0 : format == 2 ? 1 : 7;
}

} // namespace

ShortMessageTpdu ParseTpdu(std::span<const std::uint8_t> tpdu) {
    ByteReader in(tpdu);
    const std::uint8_t firstOctet = in.byte();
    ShortMessageTpdu message;
    message.type = static_cast<TpduType>(firstOctet & kMessageTypeMask);
    switch (message.type) {
    case TpduType::Deliver:
        message.address = ReadAddress(in);
        in.skip(1); // TP-PID
        message.dataCoding = in.byte();
        message.serviceCentreTime = ReadTimeStamp(in.take(kTimeStampOctets));
        break;
    case TpduType::Submit:
        message.reference = in.byte();
        message.address = ReadAddress(in);
        in.skip(1); // TP-PID
        message.dataCoding = in.byte();
        in.skip(ValidityOctets(firstOctet));
        break;
    case TpduType::StatusReport:
    case TpduType::Reserved:
        return message;
    }
    const std::size_t userDataLength = in.byte();
    const auto userData = in.rest();
    const bool hasHeader = (firstOctet & kUserDataHeader) != 0;
    message.alphabet = AlphabetOf(message.dataCoding);
    message.text = ReadUserText(userData, userDataLength, hasHeader, message.alphabet);
    if (hasHeader) {
        message.part = ConcatenationIn(userData);
    }
    return message;
}

std::optional<StatusReportTpdu> ParseStatusReport(std::span<const std::uint8_t> tpdu) {
    // First octet, TP-MR, TP-RA, TP-SCTS, TP-DT, TP-ST.
    if (tpdu.size() < 3 ||
        static_cast<TpduType>(tpdu[0] & kMessageTypeMask) != TpduType::StatusReport) {
        return std::nullopt;
    }
    const std::size_t statusAt = 2 + 2 + (tpdu[2] + 1u) / 2 + 2 * kTimeStampOctets;
    if (statusAt >= tpdu.size()) {
        return std::nullopt;
    }
    ByteReader in(tpdu.subspan(1));
    StatusReportTpdu report;
    report.reference = in.byte();
    report.recipient = ReadAddress(in);
    report.status = tpdu[statusAt];
    return report;
}

std::vector<std::uint8_t> EncodeSubmitHead(const SubmitHead& head) {
    std::uint8_t firstOctet = static_cast<std::uint8_t>(TpduType::Submit);
    if (head.statusReport) {
        firstOctet |= kStatusReportAsked;
    }
    if (head.validity) {
        firstOctet |= kValidityRelative;
    }
    std::vector<std::uint8_t> out{firstOctet, head.reference};
    AppendAddress(out, head.destination);
    out.push_back(0x00); // TP-PID: a plain short message
    out.push_back(head.dataCoding);
    if (head.validity) {
        out.push_back(*head.validity);
    }
    return out;
}

std::vector<std::uint8_t> EncodeDeliverHead(const DeliverHead& head) {
    std::uint8_t firstOctet = static_cast<std::uint8_t>(TpduType::Deliver);
    if (!head.moreMessages) {
        firstOctet |= kNoMoreMessages;
    }
    if (head.userDataHeader) {
        firstOctet |= kUserDataHeader;
    }
    std::vector<std::uint8_t> out{firstOctet};
    AppendAddress(out, head.originator);
    out.push_back(0x00); // TP-PID
    out.push_back(head.dataCoding);
    AppendTimeStamp(out, head.serviceCentreTime);
    return out;
}

} // namespace gsm
