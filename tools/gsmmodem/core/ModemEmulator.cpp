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

// The SMS-DELIVER PDUs of the reply text from `from`: one, or replyParts parts each with a
// concatenation header (IEI 00 with an 8-bit reference, or IEI 08 with a 16-bit one).
std::vector<std::vector<std::uint8_t>> ModemEmulator::ReplyPdus(const std::string& from) {
    std::u16string digits(from.begin(), from.end());
    const bool international = digits.starts_with(u'+');
    if (international) {
        digits.erase(0, 1);
    }
    const std::u16string text = Utf8ToUtf16(options_.reply);
    const auto septets = quenlib::encodeGsmSeptets(text);
    const std::size_t units = septets ? septets->size() : text.size();
    const std::size_t parts = std::clamp<std::size_t>(options_.replyParts, 1, 255);
    replyReference_ = (replyReference_ + 1) % (options_.wideReference ? 65536 : 256);
    std::vector<std::vector<std::uint8_t>> pdus;
    for (std::size_t part = 0; part < parts; ++part) {
        const bool header = parts > 1;
        std::vector<std::uint8_t> pdu{0x00, static_cast<std::uint8_t>(header ? 0x44 : 0x04)};
        pdu.push_back(static_cast<std::uint8_t>(digits.size()));
        pdu.push_back(international ? quenlib::kTonNpiInternational : quenlib::kTonNpiUnknown);
        const auto bcd = quenlib::encodeDigits(digits);
        pdu.insert(pdu.end(), bcd.begin(), bcd.end());
        pdu.push_back(0x00);                  // PID
        pdu.push_back(septets ? 0x00 : 0x08); // DCS
        for (const std::uint8_t b : {0x52, 0x10, 0x13, 0x31, 0x50, 0x90, 0x00}) {
            pdu.push_back(b); // 2025-01-31 13:05:09 +0
        }
        std::vector<std::uint8_t> udh;
        if (header) {
            const auto total = static_cast<std::uint8_t>(parts);
            const auto sequence = static_cast<std::uint8_t>(part + 1);
            if (options_.wideReference) {
                udh = {0x06,
                       0x08,
                       0x04,
                       static_cast<std::uint8_t>(replyReference_ >> 8),
                       static_cast<std::uint8_t>(replyReference_ & 0xFF),
                       total,
                       sequence};
            } else {
                udh = {0x05,  0x00,    0x03, static_cast<std::uint8_t>(replyReference_),
                       total, sequence};
            }
        }
        const std::size_t first = units * part / parts;
        const std::size_t last = units * (part + 1) / parts;
        if (septets) {
            // The header takes whole septets, the last filled with zero bits.
            const std::size_t headerSeptets = (udh.size() * 8 + 6) / 7;
            std::vector<std::uint8_t> chunk(headerSeptets, 0);
            chunk.insert(chunk.end(), septets->begin() + first, septets->begin() + last);
            auto packed = quenlib::packSeptets(chunk);
            std::copy(udh.begin(), udh.end(), packed.begin());
            pdu.push_back(static_cast<std::uint8_t>(chunk.size()));
            pdu.insert(pdu.end(), packed.begin(), packed.end());
        } else {
            const auto ucs2 =
                quenlib::encodeUcs2(std::u16string_view(text).substr(first, last - first));
            pdu.push_back(static_cast<std::uint8_t>(udh.size() + ucs2.size()));
            pdu.insert(pdu.end(), udh.begin(), udh.end());
            pdu.insert(pdu.end(), ucs2.begin(), ucs2.end());
        }
        pdus.push_back(std::move(pdu));
    }
    return pdus;
}

// The reply from `from`, each part stored and announced (+CMTI) or sent to the line (+CMT,
// 3GPP TS 27.005 §3.4.1: "+CMT: ,<length>" and the PDU, <length> without the SCA).
std::string ModemEmulator::Deliver(const std::string& from) {
    std::string out;
    for (const auto& pdu : ReplyPdus(from)) {
        const std::string hex = ToHex(pdu);
        if (options_.deliverToLine) {
            out += "\r\n+CMT: ," + std::to_string(pdu.size() - 1) + "\r\n" + hex + "\r\n";
            continue;
        }
        const int index = nextIndex_++;
        stored_.push_back({index, false, hex});
        out += "\r\n+CMTI: \"SM\"," + std::to_string(index) + "\r\n";
    }
    return out;
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
    if (command == "AT+CREG?" || command == "AT+CEREG?") {
        // 3GPP TS 27.007 §7.2: <n> 0 (no unsolicited codes), <stat> 1 home or 2 searching.
        return Answer(command.substr(2, command.size() - 3) + ": 0," +
                      (options_.registered ? "1" : "2")) +
               Final("OK");
    }
    if (command == "AT+CSQ") {
        // 3GPP TS 27.007 §8.5: rssi 20 is -73 dBm; 99 is "not known", <ber> 99 likewise.
        return Answer(options_.registered ? "+CSQ: 20,99" : "+CSQ: 99,99") + Final("OK");
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
        if (!options_.registered) {
            return Final("+CMS ERROR: 331"); // no network service
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
