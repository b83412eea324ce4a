#include "modem/DeliverPdu.h"

#include "base/Utf8.h"
#include "gsm/Tpdu.h"

#include <algorithm>
#include <cstdio>

namespace tarvik::modem {

namespace {

// The TPDU after the service-centre address in front of it; empty when the address claims
// more bytes than there are.
std::span<const std::uint8_t> TpduOf(std::span<const std::uint8_t> pdu) {
    const std::size_t start = std::min<std::size_t>(std::size_t{pdu[0]} + 1, pdu.size());
    return pdu.subspan(start);
}

} // namespace

std::optional<ReceivedSms> DecodeDeliver(std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) {
        return std::nullopt;
    }
    const gsm::ShortMessageTpdu message = gsm::ParseTpdu(TpduOf(pdu));
    if (message.type != gsm::TpduType::Deliver) {
        return std::nullopt;
    }
    ReceivedSms sms{Utf16ToUtf8(message.address), Utf16ToUtf8(message.text), {}, message.part};
    const auto& t = message.serviceCentreTime;
    char time[32];
    std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
    sms.time = time;
    return sms;
}

std::optional<StatusReport> DecodeStatusReport(std::span<const std::uint8_t> pdu) {
    if (pdu.empty()) {
        return std::nullopt;
    }
    const auto report = gsm::ParseStatusReport(TpduOf(pdu));
    if (!report) {
        return std::nullopt;
    }
    return StatusReport{report->reference, Utf16ToUtf8(report->recipient), report->status};
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
