#pragma once

#include "gsm/TpduFields.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tarvik::modem {

// Where a message stands in a concatenated one.
using MessagePart = gsm::MessagePart;

// A short message the modem received, as AT+CMGR, AT+CMGL and +CMT give it in PDU mode.
struct ReceivedSms {
    std::string from;                // the originating address, "+" before an international number
    std::string text;                // UTF-8
    std::string time;                // the service centre's time stamp, "2025-01-31 13:05:09"
    std::optional<MessagePart> part; // when it is one part of a longer message
};

// A status report (SMS-STATUS-REPORT, 3GPP TS 23.040 §9.2.2.3) on a message sent.
struct StatusReport {
    int reference = 0;     // TP-MR of the message it reports on
    std::string recipient; // "+" before an international number
    int status = 0;        // TP-ST (§9.2.3.15)
};

// Decodes an SMS-DELIVER with its service-centre address in front (3GPP TS 23.040 9.2.2.1):
// 7-bit with the GSM alphabet, 8-bit or UCS2, after a user-data header when there is one.
// Nothing when the PDU is another type; a PDU cut short decodes as far as it goes.
// A concatenation header with a part number of 0 or above the total is ignored, as the
// standard asks.
std::optional<ReceivedSms> DecodeDeliver(std::span<const std::uint8_t> pdu);

// Decodes an SMS-STATUS-REPORT with its service-centre address in front; nothing for another
// type or a PDU cut short.
std::optional<StatusReport> DecodeStatusReport(std::span<const std::uint8_t> pdu);

// TP-ST in words: "delivered", "still trying: ...", "failed: ...".
std::string DescribeStatus(int status);

} // namespace tarvik::modem
