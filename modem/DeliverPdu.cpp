#include "modem/DeliverPdu.h"

#include "base/Utf8.h"
#include "simlib/coding/GsmSmsRecord.h"
#include "simlib/coding/NumberCoding.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace tarvik::modem {

namespace {

constexpr std::uint8_t kUdhiBit = 0x40;
constexpr std::uint8_t kMtiMask = 0x03;
constexpr std::uint8_t kMtiStatusReport = 0x02;
constexpr std::size_t kTimeStampOctets = 7;
constexpr std::uint8_t kIeiConcat8 = 0x00;
constexpr std::uint8_t kIeiConcat16 = 0x08;

// The octets of an address field (TP-OA, TP-RA) whose first octet counts `digits`.
std::size_t AddressOctets(std::uint8_t digits) {
    return 2 + (digits + 1u) / 2;
}

// The concatenation element of the user-data header at `header` (UDHL first), if any.
std::optional<MessagePart> ConcatenationIn(std::span<const std::uint8_t> header) {
    if (header.empty() || header[0] + 1u > header.size()) {
        return std::nullopt;
    }
    header = header.subspan(1, header[0]);
    std::optional<MessagePart> part;
    while (header.size() >= 2) {
        const std::uint8_t iei = header[0];
        const std::size_t length = header[1];
        if (length + 2 > header.size()) {
            break;
        }
        const auto data = header.subspan(2, length);
        MessagePart found;
        bool concat = false;
        if (iei == kIeiConcat8 && length == 3) {
            found = {data[0], data[1], data[2]};
            concat = true;
        } else if (iei == kIeiConcat16 && length == 4) {
            found = {data[0] << 8 | data[1], data[2], data[3]};
            concat = true;
        }
        // A part number of 0 or above the total makes the element void (§9.2.3.24.1).
        if (concat && found.total > 0 && found.sequence > 0 && found.sequence <= found.total) {
            part = found;
        }
        header = header.subspan(length + 2);
    }
    return part;
}

// The concatenation of an SMS-DELIVER with its SCA in front, when it carries one.
std::optional<MessagePart> ConcatenationOf(std::span<const std::uint8_t> pdu) {
    std::size_t i = std::size_t{pdu[0]} + 1; // past the service-centre address
    if (i + 2 > pdu.size() || (pdu[i] & kUdhiBit) == 0) {
        return std::nullopt;
    }
    i += 1 + AddressOctets(pdu[i + 1]) + 2 + kTimeStampOctets + 1; // to the user data
    if (i >= pdu.size()) {
        return std::nullopt;
    }
    return ConcatenationIn(pdu.subspan(i));
}

} // namespace

std::optional<ReceivedSms> DecodeDeliver(std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) {
        return std::nullopt;
    }
    // An EF SMS record is a status byte before the same SCA and TPDU, so the card's one
    // decoder reads what the modem stored; status 3 is "received, unread".
    std::vector<std::uint8_t> record;
    record.reserve(pdu.size() + 1);
    record.push_back(static_cast<std::uint8_t>(quenlib::kSmsReceivedUnread));
    record.insert(record.end(), pdu.begin(), pdu.end());
    const quenlib::ShortMessage message = quenlib::parseGsmRecord(record);
    if (!message.hasTpdu || !quenlib::isReceived(message.status)) {
        return std::nullopt;
    }
    ReceivedSms sms{Utf16ToUtf8(message.address), Utf16ToUtf8(message.text), {}, {}};
    const auto& t = message.time;
    char time[32];
    std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
    sms.time = time;
    sms.part = ConcatenationOf(pdu);
    return sms;
}

std::optional<StatusReport> DecodeStatusReport(std::span<const std::uint8_t> pdu) {
    // SCA, then first octet, TP-MR, TP-RA, TP-SCTS, TP-DT, TP-ST.
    if (pdu.empty()) {
        return std::nullopt;
    }
    std::size_t i = std::size_t{pdu[0]} + 1;
    if (i + 3 > pdu.size() || (pdu[i] & kMtiMask) != kMtiStatusReport) {
        return std::nullopt;
    }
    StatusReport report;
    report.reference = pdu[i + 1];
    const std::uint8_t digits = pdu[i + 2];
    const std::size_t addressEnd = i + 2 + AddressOctets(digits);
    const std::size_t statusAt = addressEnd + 2 * kTimeStampOctets;
    if (statusAt >= pdu.size()) {
        return std::nullopt;
    }
    const bool international = (pdu[i + 3] & 0x70) == 0x10;
    std::u16string number = quenlib::decodeDigits(pdu.subspan(i + 4, addressEnd - (i + 4)));
    number.resize(std::min<std::size_t>(number.size(), digits));
    report.recipient = (international ? "+" : "") + Utf16ToUtf8(number);
    report.status = pdu[statusAt];
    return report;
}

std::string DescribeStatus(int status) {
    // TP-ST ranges of 3GPP TS 23.040 §9.2.3.15.
    if (status <= 0x02) {
        return "delivered";
    }
    if (status < 0x20) {
        return "delivered (service centre status " + std::to_string(status) + ")";
    }
    if (status < 0x40) {
        return "not yet delivered, the service centre still tries (status " +
               std::to_string(status) + ")";
    }
    return "not delivered (status " + std::to_string(status) + ")";
}

} // namespace tarvik::modem
