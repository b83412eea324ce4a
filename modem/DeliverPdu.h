#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tarvik::modem {

// A short message the modem received, as AT+CMGR and AT+CMGL give it in PDU mode.
struct ReceivedSms {
    std::string from; // the originating address, "+" before an international number
    std::string text; // UTF-8
    std::string time; // the service centre's time stamp, "2025-01-31 13:05:09"
};

// Decodes an SMS-DELIVER with its service-centre address in front (3GPP TS 23.040 9.2.2.1):
// 7-bit with the GSM alphabet, 8-bit or UCS2, after a user-data header when there is one.
// Nothing when the PDU is another type; a PDU cut short decodes as far as it goes.
std::optional<ReceivedSms> DecodeDeliver(std::span<const std::uint8_t> pdu);

} // namespace tarvik::modem
