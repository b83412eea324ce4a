#pragma once

#include "gsm/TpduFields.h"

#include <cstdint>
#include <string>

namespace quenlib {

// A date and time as a short message record holds it.
using MessageTime = gsm::TimeStamp;

// Record status bytes of EF SMS.
inline constexpr std::uint32_t kSmsFree = 0;
inline constexpr std::uint32_t kSmsReceivedRead = 1;
inline constexpr std::uint32_t kSmsReceivedUnread = 3;
inline constexpr std::uint32_t kSmsSent = 5;
inline constexpr std::uint32_t kSmsToSend = 7;
inline constexpr std::uint32_t kSmsUnknown = 0xFFFF;
// Sent messages whose status report was asked for (3GPP TS 31.102, EF SMS): the report not
// received yet, received but not stored, received and stored in EF SMSR. They read as sent.
inline constexpr std::uint32_t kSmsSentReportAwaited = 0x0D;
inline constexpr std::uint32_t kSmsSentReportReceived = 0x15;
inline constexpr std::uint32_t kSmsSentReportStored = 0x1D;

// How a text was coded on the card.
using MessageCoding = gsm::Alphabet;

// A short message as the item exports see it, whichever record format holds it.
struct ShortMessage {
    std::uint32_t status = kSmsFree;
    std::u16string address;
    std::u16string text;
    MessageCoding coding = MessageCoding::None;
    MessageTime time;
    // A GSM record held an SMS-DELIVER or SMS-SUBMIT, and so an address field.
    bool hasTpdu = false;

    bool operator==(const ShortMessage&) const = default;
};

// Whether a status stands for a message received from the network.
inline bool IsReceived(std::uint32_t status) {
    return status == kSmsReceivedRead || status == kSmsReceivedUnread;
}

// Whether a status stands for a message sent, with or without a status report asked for.
inline bool IsSent(std::uint32_t status) {
    return status == kSmsSent || status == kSmsSentReportAwaited ||
           status == kSmsSentReportReceived || status == kSmsSentReportStored;
}

} // namespace quenlib
