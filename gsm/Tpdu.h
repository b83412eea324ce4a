#pragma once

#include "gsm/TpduFields.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gsm {

// The SMS TPDUs a mobile station reads and sends (3GPP TS 23.040 §9.2.2), as bytes without
// the service-centre address in front.

// TP-MTI, the low two bits of the first octet, as a mobile station reads it.
enum class TpduType : std::uint8_t { Deliver = 0, Submit = 1, StatusReport = 2, Reserved = 3 };

// What an SMS-DELIVER or SMS-SUBMIT says.
struct ShortMessageTpdu {
    TpduType type = TpduType::Deliver;
    std::uint8_t reference = 0;  // TP-MR of an SMS-SUBMIT
    std::u16string address;      // TP-OA or TP-DA, "+" before an international number
    std::uint8_t dataCoding = 0; // TP-DCS
    Alphabet alphabet = Alphabet::None;
    TimeStamp serviceCentreTime; // TP-SCTS of an SMS-DELIVER
    std::u16string text;
    std::optional<MessagePart> part; // from a concatenation element in the header
};

// Reads an SMS-DELIVER or SMS-SUBMIT; for the other types only `type` is set. Lengths in the
// TPDU never lead outside it: a TPDU cut short reads as far as it goes, missing bytes as 0.
ShortMessageTpdu ParseTpdu(std::span<const std::uint8_t> tpdu);

// An SMS-STATUS-REPORT on a message sent.
struct StatusReportTpdu {
    int reference = 0;        // TP-MR of the message it reports on
    std::u16string recipient; // TP-RA, "+" before an international number
    int status = 0;           // TP-ST (§9.2.3.15)
};

// Reads an SMS-STATUS-REPORT; nothing for another type or one cut before TP-ST.
std::optional<StatusReportTpdu> ParseStatusReport(std::span<const std::uint8_t> tpdu);

// The fields of an SMS-SUBMIT before its user data.
struct SubmitHead {
    std::uint8_t reference = 0;
    std::u16string destination; // "+" before an international number
    std::uint8_t dataCoding = 0;
    bool statusReport = false;            // TP-SRR
    std::optional<std::uint8_t> validity; // TP-VP, relative; none: no validity period
};
// The first octet up to TP-VP; TP-UDL and TP-UD follow (AppendUserText).
std::vector<std::uint8_t> EncodeSubmitHead(const SubmitHead& head);

// The fields of an SMS-DELIVER before its user data.
struct DeliverHead {
    std::u16string originator; // "+" before an international number
    std::uint8_t dataCoding = 0;
    TimeStamp serviceCentreTime;
    bool moreMessages = true;    // TP-MMS clear: more messages wait in the service centre
    bool userDataHeader = false; // TP-UDHI
};
// The first octet up to TP-SCTS; TP-UDL and TP-UD follow.
std::vector<std::uint8_t> EncodeDeliverHead(const DeliverHead& head);

} // namespace gsm
