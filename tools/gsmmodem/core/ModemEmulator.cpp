#include "tools/gsmmodem/core/ModemEmulator.h"

#include "base/Utf8.h"
#include "simlib/coding/GsmAlphabet.h"
#include "simlib/coding/GsmSmsRecord.h"
#include "simlib/coding/NumberCoding.h"
#include "simlib/coding/TextCoding.h"

#include <algorithm>
#include <charconv>

namespace gsmmodem {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

std::optional<std::vector<std::uint8_t>> FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
        if (ec != std::errc() || end != hex.data() + i + 2) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string text;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = tarvik::NextUtf8(utf8, pos);
        text.push_back(c > 0xFFFF ? u'?' : static_cast<char16_t>(c));
    }
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<SubmittedMessage> DecodeSubmitted(std::string_view hexPdu) {
    const auto bytes = FromHex(hexPdu);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    // An EF SMS record "to be sent" is a status byte before the same SCA and SMS-SUBMIT.
    std::vector<std::uint8_t> record{static_cast<std::uint8_t>(quenlib::kSmsToSend)};
    record.insert(record.end(), bytes->begin(), bytes->end());
    const auto message = quenlib::parseGsmRecord(record);
    if (!message.hasTpdu || message.status != quenlib::kSmsToSend) {
        return std::nullopt;
    }
    return SubmittedMessage{tarvik::Utf16ToUtf8(message.address),
                            tarvik::Utf16ToUtf8(message.text)};
}

std::string ModemEmulator::Answer(std::string_view text) const {
    std::string out;
    if (options_.chatter) {
        out += "\r\n+CREG: 1\r\n\r\nRING\r\n";
    }
    return out + "\r\n" + std::string(text) + "\r\n";
}

std::string ModemEmulator::Final(std::string_view result) const {
    return Answer(result);
}

// An SMS-DELIVER from `from` with the reply text, stored and announced.
std::string ModemEmulator::Deliver(const std::string& from) {
    std::vector<std::uint8_t> pdu{0x00, 0x04}; // no SCA; SMS-DELIVER, no more messages
    std::u16string digits(from.begin(), from.end());
    const bool international = digits.starts_with(u'+');
    if (international) {
        digits.erase(0, 1);
    }
    pdu.push_back(static_cast<std::uint8_t>(digits.size()));
    pdu.push_back(international ? quenlib::kTonNpiInternational : quenlib::kTonNpiUnknown);
    const auto bcd = quenlib::encodeDigits(digits);
    pdu.insert(pdu.end(), bcd.begin(), bcd.end());
    const std::u16string text = Utf8ToUtf16(options_.reply);
    const auto septets = quenlib::encodeGsmSeptets(text);
    pdu.push_back(0x00);                  // PID
    pdu.push_back(septets ? 0x00 : 0x08); // DCS
    for (const std::uint8_t b : {0x52, 0x10, 0x13, 0x31, 0x50, 0x90, 0x00}) {
        pdu.push_back(b); // 2025-01-31 13:05:09 +0
    }
    if (septets) {
        pdu.push_back(static_cast<std::uint8_t>(septets->size()));
        const auto packed = quenlib::packSeptets(*septets);
        pdu.insert(pdu.end(), packed.begin(), packed.end());
    } else {
        const auto ucs2 = quenlib::encodeUcs2(text);
        pdu.push_back(static_cast<std::uint8_t>(ucs2.size()));
        pdu.insert(pdu.end(), ucs2.begin(), ucs2.end());
    }
    const int index = nextIndex_++;
    stored_.push_back({index, false, ToHex(pdu)});
    return "\r\n+CMTI: \"SM\"," + std::to_string(index) + "\r\n";
}

std::string ModemEmulator::EndPdu() {
    inPdu_ = false;
    std::string hex = std::exchange(line_, {});
    ++messages_;
    if (messages_ == options_.failMessage) {
        return Final("+CMS ERROR: " + std::to_string(options_.failCode));
    }
    const auto bytes = FromHex(hex);
    const auto message = DecodeSubmitted(hex);
    if (!bytes || bytes->empty() || !message ||
        bytes->size() != announcedLength_ + 1 + (*bytes)[0]) {
        return Final("+CMS ERROR: 304");
    }
    events_.push_back("pdu " + hex);
    reference_ = (reference_ + 1) % 256;
    std::string out = Answer("+CMGS: " + std::to_string(reference_)) + Final("OK");
    if (!options_.reply.empty() && options_.replyLater) {
        pending_.push_back(message->number);
    } else if (!options_.reply.empty()) {
        out += Deliver(message->number);
    }
    return out;
}

std::string ModemEmulator::Command(std::string_view line) {
    const std::string command = Upper(line);
    const bool simReady = options_.pin.empty() || unlocked_;
    if (command == "AT") {
        return Final("OK");
    }
    if (command == "ATE0" || command == "ATE1") {
        echo_ = command == "ATE1";
        return Final("OK");
    }
    if (command.starts_with("AT+CMEE=")) {
        return Final("OK");
    }
    if (command == "AT+CGMI") {
        return Answer(options_.vendor) + Final("OK");
    }
    if (command == "AT+CGMM") {
        return Answer(options_.model) + Final("OK");
    }
    if (command == "AT+CPIN?") {
        return Answer(simReady ? "+CPIN: READY" : "+CPIN: SIM PIN") + Final("OK");
    }
    if (command.starts_with("AT+CPIN=")) {
        std::string_view pin = std::string_view(line).substr(8);
        if (pin.size() >= 2 && pin.front() == '"' && pin.back() == '"') {
            pin = pin.substr(1, pin.size() - 2);
        }
        if (simReady) {
            return Final("+CME ERROR: 3");
        }
        if (pin != options_.pin) {
            return Final("+CME ERROR: 16");
        }
        unlocked_ = true;
        return Final("OK");
    }
    if (command == "AT+CMGF=0") {
        return Final("OK");
    }
    if (command.starts_with("AT+CMGS=")) {
        const auto length = Number(std::string_view(command).substr(8));
        if (options_.muteFrom != 0 && messages_ + 1 >= options_.muteFrom) {
            silent_ = true;
            return {};
        }
        if (!simReady) {
            return Final("+CMS ERROR: 311");
        }
        if (!length || *length <= 0 || *length > 164) {
            return Final("+CMS ERROR: 304");
        }
        announcedLength_ = static_cast<std::size_t>(*length);
        inPdu_ = true;
        return "\r\n> ";
    }
    if (command.starts_with("AT+CMGL")) {
        std::string out;
        for (Stored& s : stored_) {
            out += Answer("+CMGL: " + std::to_string(s.index) + "," + (s.read ? "1" : "0") + ",," +
                          std::to_string(s.hexPdu.size() / 2 - 1));
            out += s.hexPdu + "\r\n";
            s.read = true;
        }
        return out + Final("OK");
    }
    if (command.starts_with("AT+CMGR=") || command.starts_with("AT+CMGD=")) {
        const auto index = Number(std::string_view(command).substr(8));
        auto found = std::find_if(stored_.begin(), stored_.end(),
                                  [&](const Stored& s) { return index && s.index == *index; });
        if (found == stored_.end()) {
            return Final("+CMS ERROR: 321");
        }
        if (command[6] == 'D') {
            events_.push_back("deleted " + std::to_string(found->index));
            stored_.erase(found);
            return Final("OK");
        }
        std::string out = Answer("+CMGR: " + std::string(found->read ? "1" : "0") + ",," +
                                 std::to_string(found->hexPdu.size() / 2 - 1));
        found->read = true;
        return out + found->hexPdu + "\r\n" + Final("OK");
    }
    return Final("ERROR");
}

std::string ModemEmulator::DeliverPending() {
    std::string out;
    for (const std::string& number : std::exchange(pending_, {})) {
        out += Deliver(number);
    }
    return out;
}

std::string ModemEmulator::Feed(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (options_.mute || silent_) {
            continue;
        }
        if (echo_) {
            out += c;
        }
        if (inPdu_) {
            if (c == kCtrlZ) {
                out += EndPdu();
            } else if (c == kEscape) {
                inPdu_ = false;
                line_.clear();
                out += Final("OK");
            } else if (c != '\r' && c != '\n') {
                line_ += c;
            }
            continue;
        }
        if (c == '\r') {
            const std::string line = std::exchange(line_, {});
            if (!line.empty()) {
                out += Command(line);
            }
        } else if (c != '\n') {
            line_ += c;
        }
    }
    return out;
}

} // namespace gsmmodem
