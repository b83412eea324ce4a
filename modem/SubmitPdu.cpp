#include "modem/SubmitPdu.h"

#include "modem/SmsText.h"
#include "simlib/coding/GsmAlphabet.h"
#include "simlib/coding/NumberCoding.h"
#include "simlib/coding/TextCoding.h"

#include <algorithm>

namespace tarvik::modem {
namespace {

// TP-MTI SMS-SUBMIT with TP-VPF "relative" (bits 4 and 3 = 10); no reply path, no header,
// no status report.
constexpr std::uint8_t kFirstOctet = 0x11;
// TP-VP 167: 12 hours plus 24 half hours, one day.
constexpr std::uint8_t kValidityOneDay = 0xA7;
constexpr std::uint8_t kDcs7Bit = 0x00;
constexpr std::uint8_t kDcsUcs2 = 0x08;
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
    SubmitPdu pdu;
    auto& out = pdu.bytes;
    out.push_back(0x00); // SCA: the modem's own service centre
    out.push_back(kFirstOctet);
    out.push_back(0x00); // TP-MR: the modem sets the reference
    out.push_back(static_cast<std::uint8_t>(to.digits.size()));
    out.push_back(to.international ? quenlib::kTonNpiInternational : quenlib::kTonNpiUnknown);
    const std::u16string digits(to.digits.begin(), to.digits.end());
    const auto packedDigits = quenlib::encodeDigits(digits);
    out.insert(out.end(), packedDigits.begin(), packedDigits.end());
    out.push_back(0x00); // TP-PID
    const bool sevenBit = CodingFor(text) == SmsCoding::SevenBit;
    out.push_back(sevenBit ? kDcs7Bit : kDcsUcs2);
    out.push_back(kValidityOneDay);
    if (sevenBit) {
        std::vector<std::uint8_t> septets = *quenlib::encodeGsmSeptets(text);
        if (septets.size() > kMaxSeptets) {
            // Cut to what fits, keeping an escaped character whole.
            std::size_t keep = 0;
            for (std::size_t i = 0; i < kMaxSeptets;) {
                const std::size_t width = septets[i] == quenlib::kGsmEscape ? 2 : 1;
                if (i + width > kMaxSeptets) {
                    break;
                }
                i += width;
                keep = i;
            }
            septets.resize(keep);
        }
        out.push_back(static_cast<std::uint8_t>(septets.size()));
        const auto packed = quenlib::packSeptets(septets);
        out.insert(out.end(), packed.begin(), packed.end());
    } else {
        const auto ucs2 = quenlib::encodeUcs2(text.substr(0, kMaxUcs2Characters));
        out.push_back(static_cast<std::uint8_t>(ucs2.size()));
        out.insert(out.end(), ucs2.begin(), ucs2.end());
    }
    pdu.tpduLength = out.size() - 1;
    return pdu;
}

} // namespace tarvik::modem
