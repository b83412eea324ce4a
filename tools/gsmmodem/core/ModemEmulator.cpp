#include "tools/gsmmodem/core/ModemEmulator.h"

#include "base/Hex.h"
#include "base/Utf8.h"
#include "gsm/GsmAlphabet.h"
#include "gsm/TextCoding.h"
#include "gsm/Tpdu.h"

#include <algorithm>
#include <charconv>

namespace gsmmodem {
namespace {

constexpr char kCtrlZ = '\x1A';
constexpr char kEscape = '\x1B';

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
    const auto bytes = tarvik::FromHex(hexPdu);
    if (!bytes || bytes->empty()) {
        return std::nullopt;
    }
    const std::size_t start = std::min<std::size_t>(std::size_t{(*bytes)[0]} + 1, bytes->size());
    const auto message = gsm::ParseTpdu(std::span(*bytes).subspan(start));
    if (message.type != gsm::TpduType::Submit) {
        return std::nullopt;
    }
    return SubmittedMessage{tarvik::Utf16ToUtf8(message.address),
                            tarvik::Utf16ToUtf8(message.text)};
}

std::string ModemEmulator::answer(std::string_view text) const {
    std::string out;
    if (options_.chatter) {
        out += "\r\n+CREG: 1\r\n\r\nRING\r\n";
    }
    return out + "\r\n" + std::string(text) + "\r\n";
}

std::string ModemEmulator::finalResult(std::string_view result) const {
    return answer(result);
}

// The SMS-DELIVER PDUs of the reply text from `from`: one, or replyParts parts each with a
// concatenation header (IEI 00 with an 8-bit reference, or IEI 08 with a 16-bit one).
std::vector<std::vector<std::uint8_t>> ModemEmulator::replyPdus(const std::string& from) {
    const std::u16string text = Utf8ToUtf16(options_.reply);
    const auto septets = gsm::EncodeSeptets(text);
    const std::size_t units = septets ? septets->size() : text.size();
    const std::size_t parts = std::clamp<std::size_t>(options_.replyParts, 1, 255);
    replyReference_ = (replyReference_ + 1) % (options_.wideReference ? 65536 : 256);
    std::vector<std::vector<std::uint8_t>> pdus;
    for (std::size_t part = 0; part < parts; ++part) {
        const bool header = parts > 1;
        std::vector<std::uint8_t> pdu{0x00}; // no service-centre address
        const auto head =
            gsm::EncodeDeliverHead({.originator = std::u16string(from.begin(), from.end()),
                                    .dataCoding = gsm::DataCodingOf(
                                        septets ? gsm::Alphabet::SevenBit : gsm::Alphabet::Ucs2),
                                    .serviceCentreTime = {2025, 1, 31, 13, 5, 9},
                                    .moreMessages = false,
                                    .userDataHeader = header});
        pdu.insert(pdu.end(), head.begin(), head.end());
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
            gsm::AppendSeptetUserData(pdu, udh, std::span(*septets).subspan(first, last - first));
        } else {
            gsm::AppendOctetUserData(
                pdu, udh, gsm::EncodeUcs2(std::u16string_view(text).substr(first, last - first)));
        }
        pdus.push_back(std::move(pdu));
    }
    return pdus;
}

// The reply from `from`, each part stored and announced (+CMTI) or sent to the line (+CMT,
// 3GPP TS 27.005 §3.4.1: "+CMT: ,<length>" and the PDU, <length> without the SCA).
std::string ModemEmulator::deliver(const std::string& from) {
    std::string out;
    for (const auto& pdu : replyPdus(from)) {
        const std::string hex = tarvik::ToHex(pdu);
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

// A status report on the message just taken (3GPP TS 23.040 §9.2.2.3): delivered, to the
// line as "+CDS: <length>" and the PDU, or stored and announced as "+CDSI: <mem>,<index>"
// (3GPP TS 27.005 §3.4.1).
std::string ModemEmulator::report(const std::string& recipient) {
    // No service-centre address; TP-MTI 10 (status report) and TP-MMS (no more messages).
    std::vector<std::uint8_t> pdu{0x00, 0x06, static_cast<std::uint8_t>(reference_)};
    gsm::AppendAddress(pdu, std::u16string(recipient.begin(), recipient.end()));
    gsm::AppendTimeStamp(pdu, {2025, 1, 31, 13, 5, 9});  // TP-SCTS
    gsm::AppendTimeStamp(pdu, {2025, 1, 31, 13, 5, 15}); // TP-DT
    pdu.push_back(0x00);                                 // TP-ST: received by the recipient
    const std::string hex = tarvik::ToHex(pdu);
    if (options_.statusReports == StatusReports::ToLine) {
        return "\r\n+CDS: " + std::to_string(pdu.size() - 1) + "\r\n" + hex + "\r\n";
    }
    const int index = nextIndex_++;
    stored_.push_back({index, false, hex});
    return "\r\n+CDSI: \"SM\"," + std::to_string(index) + "\r\n";
}

std::string ModemEmulator::endPdu() {
    inPdu_ = false;
    std::string hex = std::exchange(line_, {});
    ++messages_;
    if (messages_ == options_.failMessage) {
        return finalResult("+CMS ERROR: " + std::to_string(options_.failCode));
    }
    const auto bytes = tarvik::FromHex(hex);
    const auto message = DecodeSubmitted(hex);
    if (!bytes || bytes->empty() || !message ||
        bytes->size() != announcedLength_ + 1 + (*bytes)[0]) {
        return finalResult("+CMS ERROR: 304");
    }
    events_.push_back("pdu " + hex);
    reference_ = (reference_ + 1) % 256;
    std::string out = answer("+CMGS: " + std::to_string(reference_)) + finalResult("OK");
    if (options_.statusReports != StatusReports::None) {
        out += report(message->number);
    }
    if (!options_.reply.empty() && options_.replyLater) {
        pending_.push_back(message->number);
    } else if (!options_.reply.empty()) {
        out += deliver(message->number);
    }
    return out;
}

std::string ModemEmulator::answerCommand(std::string_view line) {
    const std::string command = Upper(line);
    const bool simReady = options_.pin.empty() || unlocked_;
    if (command == "AT") {
        return finalResult("OK");
    }
    if (command == "ATE0" || command == "ATE1") {
        echo_ = command == "ATE1";
        return finalResult("OK");
    }
    if (command.starts_with("AT+CMEE=")) {
        return finalResult("OK");
    }
    if (command == "AT+CGMI") {
        return answer(options_.vendor) + finalResult("OK");
    }
    if (command == "AT+CREG?" || command == "AT+CEREG?") {
        // 3GPP TS 27.007 §7.2: <n> 0 (no unsolicited codes), <stat> 1 home or 2 searching.
        return answer(command.substr(2, command.size() - 3) + ": 0," +
                      (options_.registered ? "1" : "2")) +
               finalResult("OK");
    }
    if (command == "AT+CSQ") {
        // 3GPP TS 27.007 §8.5: rssi 20 is -73 dBm; 99 is "not known", <ber> 99 likewise.
        return answer(options_.registered ? "+CSQ: 20,99" : "+CSQ: 99,99") + finalResult("OK");
    }
    if (command == "AT+CGMM") {
        return answer(options_.model) + finalResult("OK");
    }
    if (command == "AT+CPIN?") {
        return answer(simReady ? "+CPIN: READY" : "+CPIN: SIM PIN") + finalResult("OK");
    }
    if (command.starts_with("AT+CPIN=")) {
        std::string_view pin = std::string_view(line).substr(8);
        if (pin.size() >= 2 && pin.front() == '"' && pin.back() == '"') {
            pin = pin.substr(1, pin.size() - 2);
        }
        if (simReady) {
            return finalResult("+CME ERROR: 3");
        }
        if (pin != options_.pin) {
            return finalResult("+CME ERROR: 16");
        }
        unlocked_ = true;
        return finalResult("OK");
    }
    if (command == "AT+CMGF=0") {
        return finalResult("OK");
    }
    if (command.starts_with("AT+CMGS=")) {
        const auto length = Number(std::string_view(command).substr(8));
        if (options_.muteFrom != 0 && messages_ + 1 >= options_.muteFrom) {
            silent_ = true;
            return {};
        }
        if (!simReady) {
            return finalResult("+CMS ERROR: 311");
        }
        if (!options_.registered) {
            return finalResult("+CMS ERROR: 331"); // no network service
        }
        if (!length || *length <= 0 || *length > 164) {
            return finalResult("+CMS ERROR: 304");
        }
        announcedLength_ = static_cast<std::size_t>(*length);
        inPdu_ = true;
        return "\r\n> ";
    }
    if (command.starts_with("AT+CMGL")) {
        std::string out;
        for (Stored& s : stored_) {
            out += answer("+CMGL: " + std::to_string(s.index) + "," + (s.read ? "1" : "0") + ",," +
                          std::to_string(s.hexPdu.size() / 2 - 1));
            out += s.hexPdu + "\r\n";
            s.read = true;
        }
        return out + finalResult("OK");
    }
    if (command.starts_with("AT+CMGR=") || command.starts_with("AT+CMGD=")) {
        const auto index = Number(std::string_view(command).substr(8));
        auto found = std::find_if(stored_.begin(), stored_.end(),
                                  [&](const Stored& s) { return index && s.index == *index; });
        if (found == stored_.end()) {
            return finalResult("+CMS ERROR: 321");
        }
        if (command[6] == 'D') {
            events_.push_back("deleted " + std::to_string(found->index));
            stored_.erase(found);
            return finalResult("OK");
        }
        std::string out = answer("+CMGR: " + std::string(found->read ? "1" : "0") + ",," +
                                 std::to_string(found->hexPdu.size() / 2 - 1));
        found->read = true;
        return out + found->hexPdu + "\r\n" + finalResult("OK");
    }
    return finalResult("ERROR");
}

std::string ModemEmulator::deliverPending() {
    std::string out;
    for (const std::string& number : std::exchange(pending_, {})) {
        out += deliver(number);
    }
    return out;
}

std::string ModemEmulator::feed(std::string_view bytes) {
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
                out += endPdu();
            } else if (c == kEscape) {
                inPdu_ = false;
                line_.clear();
                out += finalResult("OK");
            } else if (c != '\r' && c != '\n') {
                line_ += c;
            }
            continue;
        }
        if (c == '\r') {
            const std::string line = std::exchange(line_, {});
            if (!line.empty()) {
                out += answerCommand(line);
            }
        } else if (c != '\n') {
            line_ += c;
        }
    }
    return out;
}

} // namespace gsmmodem
