#include "modem/DeliverPdu.h"

#include "base/Utf8.h"
#include "simlib/coding/GsmSmsRecord.h"

#include <cstdio>
#include <vector>

namespace tarvik::modem {

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
    ReceivedSms sms{Utf16ToUtf8(message.address), Utf16ToUtf8(message.text), {}};
    const auto& t = message.time;
    char time[32];
    std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", t.year % 10000, t.month % 100,
                  t.day % 100, t.hour % 100, t.minute % 100, t.second % 100);
    sms.time = time;
    return sms;
}

} // namespace tarvik::modem
