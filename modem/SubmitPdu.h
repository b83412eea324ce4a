#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

// An SMS-SUBMIT as AT+CMGS takes it in PDU mode.
struct SubmitPdu {
    std::vector<std::uint8_t> bytes; // the service-centre address and the TPDU
    std::size_t tpduLength = 0;      // the length AT+CMGS announces: the bytes after the SCA
};

// A destination number as the user typed it: spaces are dropped, a leading "+" or "00"
// makes it international, and the rest must be 1 to 20 digits.
struct Destination {
    std::string digits;
    bool international = false;
};

// The destination, or an error for the user in `error`.
std::optional<Destination> ParseDestination(std::string_view number, std::string& error);

// The SMS-SUBMIT of `text` to `to`: no service-centre address (the modem's own), no status
// report, TP-VP relative for 24 hours, 7-bit when the GSM alphabet holds the text and UCS2
// otherwise. The text must fit one SMS (FitsOneSms); a longer one is cut to what fits.
SubmitPdu EncodeSubmit(const Destination& to, std::u16string_view text);

} // namespace tarvik::modem
