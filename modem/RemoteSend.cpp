#include "modem/RemoteSend.h"

#include "base/Utf8.h"
#include "modem/Hex.h"
#include "modem/MessageLog.h"

#include <charconv>
#include <cstdlib>
#include <ctime>

namespace tarvik::modem {
namespace {

using Clock = std::chrono::steady_clock;

// How often the wait for replies looks at `cancel`.
constexpr milliseconds kCancelPoll{200};
// A national number matches an international one by this many trailing digits at least.
constexpr std::size_t kMinMatchingDigits = 6;

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load();
}

std::string Digits(std::string_view number) {
    std::string digits;
    for (const char c : number) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    if (!number.starts_with('+') && digits.starts_with("00")) {
        digits.erase(0, 2);
    }
    return digits;
}

// The number after "<prefix>" in "<prefix> 12,..." or "<prefix> "SM",12".
std::optional<int> NumberAfter(std::string_view line, std::string_view prefix, int field) {
    if (!line.starts_with(prefix)) {
        return std::nullopt;
    }
    line.remove_prefix(prefix.size());
    for (int i = 0; i < field; ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        line.remove_prefix(comma + 1);
    }
    while (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc() || (end != line.data() + line.size() && *end != ',')) {
        return std::nullopt;
    }
    return value;
}

class Sender {
public:
    Sender(AtSession& session, const SendRequest& request, MessageLog& log, SendObserver& observer,
           const std::atomic<bool>* cancel)
        : session_(session), request_(request), log_(log), observer_(observer), cancel_(cancel) {}

    SendOutcome Run();

private:
    std::optional<std::string> Setup();
    std::optional<std::string> UnlockSim();
    bool SendOne(std::size_t index, const Destination& to);
    void WaitForReplies();
    void TakeStored(const std::vector<std::string>& lines, std::string_view header, int indexField);
    void Take(int index, std::string_view hexPdu);
    void Log(bool sent, const std::string& number, const std::string& text,
             const std::string& result);

    AtSession& session_;
    const SendRequest& request_;
    MessageLog& log_;
    SendObserver& observer_;
    const std::atomic<bool>* cancel_;
    SendOutcome outcome_;
};

std::optional<std::string> Sender::UnlockSim() {
    const auto& t = request_.timeouts;
    const AtResult state = session_.Command("AT+CPIN?", t.command);
    if (!state.ok) {
        return "the modem's SIM: " + state.error;
    }
    std::string_view code;
    for (const auto& line : state.lines) {
        if (line.starts_with("+CPIN:")) {
            code = std::string_view(line).substr(6);
            while (code.starts_with(' ')) {
                code.remove_prefix(1);
            }
        }
    }
    if (code == "READY" || code.empty()) {
        return std::nullopt;
    }
    if (code != "SIM PIN") {
        return "the modem's SIM asks for " + std::string(code) + "; unlock it in a phone first";
    }
    if (request_.pin.empty()) {
        return "the modem's SIM asks for its PIN, and none was given";
    }
    const AtResult entered = session_.Command("AT+CPIN=\"" + request_.pin + "\"", t.command);
    if (!entered.ok) {
        return "the modem's SIM refused the PIN: " + entered.error;
    }
    return std::nullopt;
}

std::optional<std::string> Sender::Setup() {
    const auto& t = request_.timeouts;
    // A modem left in PDU input by an earlier program takes the first AT as text: one retry.
    AtResult hello = session_.Command("AT", t.command);
    if (!hello.ok && hello.timedOut && !session_.failed()) {
        hello = session_.Command("AT", t.command);
    }
    if (!hello.ok) {
        return hello.timedOut ? "the modem does not answer AT" : hello.error;
    }
    for (const char* command : {"ATE0", "AT+CMEE=1"}) {
        // Modems that know neither still send; only a dead port stops here.
        const AtResult answer = session_.Command(command, t.command);
        if (session_.failed()) {
            return answer.error;
        }
    }
    if (auto error = UnlockSim()) {
        return error;
    }
    const AtResult pduMode = session_.Command("AT+CMGF=0", t.command);
    if (!pduMode.ok) {
        return "the modem does not take PDU mode (AT+CMGF=0): " + pduMode.error;
    }
    return std::nullopt;
}

void Sender::Log(bool sent, const std::string& number, const std::string& text,
                 const std::string& result) {
    if (!log_.Append({std::time(nullptr), sent, number, text, result})) {
        observer_.Warning("the message log cannot be written: " + log_.error());
    }
}

bool Sender::SendOne(std::size_t index, const Destination& to) {
    const auto& t = request_.timeouts;
    const std::u16string& text = request_.messages[index];
    observer_.Sending(index);
    const SubmitPdu pdu = EncodeSubmit(to, text);
    const AtResult answer = session_.Submit(pdu.tpduLength, ToHex(pdu.bytes), t.prompt, t.answer);
    const std::string utf8 = Utf16ToUtf8(text);
    if (!answer.ok) {
        Log(true, request_.number, utf8, answer.error);
        observer_.Failed(index, answer.error);
        outcome_.result = SendOutcome::Result::MessageFailed;
        outcome_.failedMessage = index;
        outcome_.error = answer.error;
        return false;
    }
    std::optional<int> reference;
    for (const auto& line : answer.lines) {
        if (const auto mr = NumberAfter(line, "+CMGS:", 0)) {
            reference = mr;
        }
    }
    Log(true, request_.number, utf8, "ok");
    ++outcome_.sent;
    observer_.Sent(index, reference);
    return true;
}

void Sender::Take(int index, std::string_view hexPdu) {
    const auto bytes = FromHex(hexPdu);
    const auto reply = bytes ? DecodeDeliver(*bytes) : std::nullopt;
    if (!reply || !SameNumber(reply->from, request_.number)) {
        return; // someone else's message stays on the modem
    }
    ++outcome_.replies;
    observer_.Replied(*reply);
    if (!log_.Append({std::time(nullptr), false, reply->from, reply->text, "ok"})) {
        observer_.Warning("the message log cannot be written: " + log_.error() +
                          "; the reply stays on the modem");
        return;
    }
    const AtResult deleted =
        session_.Command("AT+CMGD=" + std::to_string(index), request_.timeouts.command);
    if (!deleted.ok) {
        observer_.Warning("the reply " + std::to_string(index) +
                          " could not be deleted from the modem: " + deleted.error);
    }
}

void Sender::TakeStored(const std::vector<std::string>& lines, std::string_view header,
                        int indexField) {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (const auto index = NumberAfter(lines[i], header, indexField)) {
            Take(*index, lines[i + 1]);
            ++i;
        }
    }
}

void Sender::WaitForReplies() {
    const auto deadline = Clock::now() + request_.wait;
    const auto& t = request_.timeouts;
    const std::size_t expected = request_.messages.size() - request_.first;
    const AtResult stored = session_.Command("AT+CMGL=4", t.command);
    if (stored.ok) {
        TakeStored(stored.lines, "+CMGL:", 0);
    }
    while (outcome_.replies < expected && !Cancelled(cancel_) && !session_.failed()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        const auto line = session_.NextUnsolicited(std::min(left, kCancelPoll));
        if (!line) {
            continue;
        }
        if (const auto index = NumberAfter(*line, "+CMTI:", 1)) {
            const AtResult read = session_.Command("AT+CMGR=" + std::to_string(*index), t.command);
            if (read.ok && read.lines.size() >= 2) {
                Take(*index, read.lines[1]);
            }
        }
    }
}

SendOutcome Sender::Run() {
    std::string error;
    const auto to = ParseDestination(request_.number, error);
    if (!to) {
        outcome_.result = SendOutcome::Result::SetupFailed;
        outcome_.error = error;
        return outcome_;
    }
    if (auto failure = Setup()) {
        outcome_.result = SendOutcome::Result::SetupFailed;
        outcome_.error = std::move(*failure);
        return outcome_;
    }
    for (std::size_t i = request_.first; i < request_.messages.size(); ++i) {
        if (Cancelled(cancel_)) {
            outcome_.result = SendOutcome::Result::Cancelled;
            return outcome_;
        }
        if (!SendOne(i, *to)) {
            return outcome_;
        }
    }
    if (request_.wait.count() > 0) {
        WaitForReplies();
    }
    return outcome_;
}

} // namespace

ModemTimeouts ModemTimeouts::FromEnvironment() {
    ModemTimeouts timeouts;
    if (const char* value = std::getenv("TARVIK_MODEM_TIMEOUT_MS")) {
        const std::string_view text(value);
        long ms = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), ms);
        if (ec == std::errc() && end == text.data() + text.size() && ms > 0) {
            timeouts.command = timeouts.prompt = timeouts.answer = milliseconds(ms);
        }
    }
    return timeouts;
}

bool SameNumber(std::string_view a, std::string_view b) {
    std::string x = Digits(a);
    std::string y = Digits(b);
    if (x == y) {
        return !x.empty();
    }
    // A national number with its trunk 0 is the tail of the international one.
    const bool xInternational = a.starts_with('+') || a.starts_with("00");
    const bool yInternational = b.starts_with('+') || b.starts_with("00");
    if (xInternational == yInternational) {
        return false;
    }
    std::string& national = xInternational ? y : x;
    const std::string& international = xInternational ? x : y;
    if (national.starts_with('0')) {
        national.erase(0, 1);
    }
    return national.size() >= kMinMatchingDigits && national.size() < international.size() &&
           international.ends_with(national);
}

SendOutcome SendRemote(AtSession& session, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel) {
    return Sender(session, request, log, observer, cancel).Run();
}

} // namespace tarvik::modem
