#include "modem/SubmitPdu.h"

#include "gsm/Tpdu.h"
#include "modem/SmsText.h"

#include <algorithm>

namespace tarvik::modem {
namespace {

// TP-VP 167: 12 hours plus 24 half hours, one day.
constexpr std::uint8_t kValidityOneDay = 0xA7;
constexpr std::size_t kMaxDigits = 20;

} // namespace

std::optional<Destination> ParseDestination(std::string_view number, std::string& error) {
    std::string compact;
    for (const char c : number) {
        if (c != ' ') {
            compact.push_back(c);
        }
    }
    Destination to;
    std::string_view rest = compact;
    if (rest.starts_with('+')) {
        to.international = true;
        rest.remove_prefix(1);
    } else if (rest.starts_with("00")) {
        to.international = true;
        rest.remove_prefix(2);
    }
    const bool digits =
        std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (rest.empty() || !digits || rest.size() > kMaxDigits) {
        error = "'" + std::string(number) +
                "' is not a telephone number: up to 20 digits, with + or 00 before an "
                "international one";
        return std::nullopt;
    }
    to.digits = rest;
    return to;
}

SubmitPdu EncodeSubmit(const Destination& to, std::u16string_view text) {
    const gsm::Alphabet alphabet =
        CodingFor(text) == SmsCoding::SevenBit ? gsm::Alphabet::SevenBit : gsm::Alphabet::Ucs2;
    std::u16string destination(to.digits.begin(), to.digits.end());
    if (to.international) {
        destination.insert(destination.begin(), u'+');
    }
    // The modem sets TP-MR; no status report.
    const auto head = gsm::EncodeSubmitHead({.reference = 0,
                                             .destination = destination,
                                             .dataCoding = gsm::DataCodingOf(alphabet),
                                             .statusReport = false,
                                             .validity = kValidityOneDay});
    SubmitPdu pdu;
    // SCA 00: the modem's own service centre; the TPDU's head after it.
    pdu.bytes.resize(1 + head.size());
    std::copy(head.begin(), head.end(), pdu.bytes.begin() + 1);
    gsm::AppendUserText(pdu.bytes, text, alphabet);
    pdu.tpduLength = pdu.bytes.size() - 1;
    return pdu;
}

} // namespace tarvik::modem
