#include "modem/RemoteSend.h"

#include "base/Hex.h"
#include "base/Utf8.h"
#include "modem/MessageLog.h"
#include "modem/NetworkQuery.h"
#include "modem/ReplyParts.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace tarvik::modem {
namespace {

using Clock = std::chrono::steady_clock;

// How often the wait for replies looks at `cancel`.
constexpr milliseconds cancelPoll{200};
// How often the modem is asked whether it is on the network yet.
constexpr milliseconds registrationPoll{500};
// The tag of a reply delivered to the line (+CMT): it is on no storage to delete from.
constexpr int notStored = -1;
// A national number matches an international one by this many trailing digits at least.
constexpr std::size_t minMatchingDigits = 6;

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

    SendOutcome run();

private:
    std::optional<std::string> setup();
    std::optional<std::string> unlockSim();
    std::optional<std::string> waitForNetwork();
    bool sendOne(std::size_t index, const Destination& to);
    void waitForReplies();
    void takeUnsolicited(const std::string& line);
    void takeStored(const std::vector<std::string>& lines, std::string_view header, int indexField);
    void take(int tag, std::string_view hexPdu);
    void accept(const JoinedReply& reply);
    void takeReport(int tag, const StatusReport& report);
    // Deletes what was stored at `index` once it is logged; says so when the modem refuses.
    void remove(int index, std::string_view what);
    void log(bool sent, const std::string& number, const std::string& text,
             const std::string& result);

    AtSession& session_;
    const SendRequest& request_;
    MessageLog& log_;
    SendObserver& observer_;
    const std::atomic<bool>* cancel_;
    SendOutcome outcome_;
    ReplyParts parts_;
};

std::optional<std::string> Sender::unlockSim() {
    const auto& t = request_.timeouts;
    const AtResult state = session_.command("AT+CPIN?", t.command);
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
    const AtResult entered = session_.command("AT+CPIN=\"" + request_.pin + "\"", t.command);
    if (!entered.ok) {
        return "the modem's SIM refused the PIN: " + entered.error;
    }
    return std::nullopt;
}

std::optional<std::string> Sender::setup() {
    const auto& t = request_.timeouts;
    // A modem left in PDU input by an earlier program takes the first AT as text: one retry.
    AtResult hello = session_.command("AT", t.command);
    if (!hello.ok && hello.timedOut && !session_.failed()) {
        hello = session_.command("AT", t.command);
    }
    if (!hello.ok) {
        return hello.timedOut ? "the modem does not answer AT" : hello.error;
    }
    for (const char* command : {"ATE0", "AT+CMEE=1"}) {
        // Modems that know neither still send; only a dead port stops here.
        const AtResult answer = session_.command(command, t.command);
        if (session_.failed()) {
            return answer.error;
        }
    }
    if (auto error = unlockSim()) {
        return error;
    }
    const AtResult pduMode = session_.command("AT+CMGF=0", t.command);
    if (!pduMode.ok) {
        return "the modem does not take PDU mode (AT+CMGF=0): " + pduMode.error;
    }
    return std::nullopt;
}

std::optional<std::string> Sender::waitForNetwork() {
    const auto deadline = Clock::now() + request_.registerWait;
    std::string said;
    for (;;) {
        const auto state = AskRegistration(session_, request_.timeouts.command);
        if (session_.failed()) {
            return "the modem's port failed";
        }
        // A modem that tells neither is left to try: the message's answer will say.
        if (!state || IsRegistered(*state)) {
            return std::nullopt;
        }
        const std::string words =
            Describe(*state) + ", signal " + AskSignal(session_, request_.timeouts.command);
        if (words != said) {
            observer_.registering(words);
            said = words;
        }
        if (*state == Registration::Denied) {
            return "the modem is not on the network: " + words;
        }
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || Cancelled(cancel_)) {
            const auto ms = request_.registerWait.count();
            return "the modem is not on the network after " +
                   (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s"
                                   : std::to_string(ms) + " ms") +
                   ": " + words;
        }
        std::this_thread::sleep_for(std::min(left, registrationPoll));
    }
}

void Sender::log(bool sent, const std::string& number, const std::string& text,
                 const std::string& result) {
    if (!log_.append({std::time(nullptr), sent, number, text, result})) {
        observer_.warning("the message log cannot be written: " + log_.error());
    }
}

bool Sender::sendOne(std::size_t index, const Destination& to) {
    const auto& t = request_.timeouts;
    const std::u16string& text = request_.messages[index];
    observer_.sending(index);
    const SubmitPdu pdu = EncodeSubmit(to, text);
    const AtResult answer = session_.submit(pdu.tpduLength, ToHex(pdu.bytes), t.prompt, t.answer);
    const std::string utf8 = Utf16ToUtf8(text);
    if (!answer.ok) {
        log(true, request_.number, utf8, answer.error);
        observer_.failed(index, answer.error);
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
    log(true, request_.number, utf8, "ok");
    ++outcome_.sent;
    observer_.sent(index, reference);
    return true;
}

void Sender::take(int tag, std::string_view hexPdu) {
    const auto bytes = FromHex(hexPdu);
    if (!bytes) {
        return;
    }
    // A stored status report (+CDSI, or in the list of AT+CMGL) is read as a message is.
    if (const auto report = DecodeStatusReport(*bytes)) {
        takeReport(tag, *report);
        return;
    }
    const auto reply = DecodeDeliver(*bytes);
    if (!reply || !SameNumber(reply->from, request_.number)) {
        return; // someone else's message stays on the modem
    }
    if (const auto joined = parts_.add(*reply, tag)) {
        accept(*joined);
    }
}

void Sender::remove(int index, std::string_view what) {
    if (index == notStored) {
        return;
    }
    const AtResult deleted =
        session_.command("AT+CMGD=" + std::to_string(index), request_.timeouts.command);
    if (!deleted.ok) {
        observer_.warning(std::string(what) + " " + std::to_string(index) +
                          " could not be deleted from the modem: " + deleted.error);
    }
}

void Sender::accept(const JoinedReply& reply) {
    ++outcome_.replies;
    observer_.replied(reply.sms);
    if (!log_.append({std::time(nullptr), false, reply.sms.from, reply.sms.text, "ok"})) {
        observer_.warning("the message log cannot be written: " + log_.error() +
                          "; the reply stays on the modem");
        return;
    }
    for (const int index : reply.tags) {
        remove(index, "the reply");
    }
}

void Sender::takeReport(int tag, const StatusReport& report) {
    if (!SameNumber(report.recipient, request_.number)) {
        return; // on someone else's message: it stays on the modem
    }
    observer_.reported(report);
    const std::string text = "status report on message reference " +
                             std::to_string(report.reference) + ": " +
                             DescribeStatus(report.status);
    if (!log_.append({std::time(nullptr), false, report.recipient, text, "ok"})) {
        observer_.warning("the message log cannot be written: " + log_.error() +
                          (tag == notStored ? "" : "; the status report stays on the modem"));
        return;
    }
    remove(tag, "the status report");
}

void Sender::takeUnsolicited(const std::string& line) {
    const auto& t = request_.timeouts;
    // "+CMTI: <mem>,<index>" for a message, "+CDSI: <mem>,<index>" for a status report,
    // each stored and read by AT+CMGR (3GPP TS 27.005 §3.4.1, §3.4.3).
    auto index = NumberAfter(line, "+CMTI:", 1);
    if (!index) {
        index = NumberAfter(line, "+CDSI:", 1);
    }
    if (index) {
        const AtResult read = session_.command("AT+CMGR=" + std::to_string(*index), t.command);
        if (read.ok && read.lines.size() >= 2) {
            take(*index, read.lines[1]);
        }
        return;
    }
    // "+CMT: [<alpha>],<length>" or "+CDS: <length>", then the PDU (3GPP TS 27.005 §3.4.1).
    const std::size_t newline = line.find('\n');
    if (newline == std::string::npos) {
        return;
    }
    const std::string_view pdu = std::string_view(line).substr(newline + 1);
    if (line.starts_with("+CMT:")) {
        take(notStored, pdu);
    } else if (line.starts_with("+CDS:")) {
        const auto bytes = FromHex(pdu);
        if (const auto report = bytes ? DecodeStatusReport(*bytes) : std::nullopt) {
            takeReport(notStored, *report);
        }
    } else {
        return;
    }
    // A modem set to phase 2+ (AT+CSMS=1) waits for this acknowledgement (§3.4.4) once the
    // message is logged; any other refuses it, which costs nothing.
    session_.command("AT+CNMA", t.command);
}

void Sender::takeStored(const std::vector<std::string>& lines, std::string_view header,
                        int indexField) {
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (const auto index = NumberAfter(lines[i], header, indexField)) {
            take(*index, lines[i + 1]);
            ++i;
        }
    }
}

void Sender::waitForReplies() {
    const auto deadline = Clock::now() + request_.wait;
    const auto& t = request_.timeouts;
    const std::size_t expected = request_.messages.size() - request_.first;
    const AtResult stored = session_.command("AT+CMGL=4", t.command);
    if (stored.ok) {
        takeStored(stored.lines, "+CMGL:", 0);
    }
    while (outcome_.replies < expected && !Cancelled(cancel_) && !session_.failed()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        if (const auto line = session_.nextUnsolicited(std::min(left, cancelPoll))) {
            takeUnsolicited(*line);
        }
    }
    // What the modem handed over meanwhile is taken too: a status report on the line (+CDS)
    // is stored nowhere, and would be lost with the session.
    while (!session_.failed()) {
        const auto line = session_.nextUnsolicited(milliseconds(0));
        if (!line) {
            break;
        }
        takeUnsolicited(*line);
    }
    // What came of a reply in parts is shown and logged; its parts stay on the modem.
    for (const auto& reply : parts_.takeIncomplete()) {
        ++outcome_.replies;
        observer_.incomplete(reply.sms, reply.missing);
        if (!log_.append({std::time(nullptr), false, reply.sms.from, reply.sms.text,
                          "incomplete: " + reply.missing})) {
            observer_.warning("the message log cannot be written: " + log_.error());
        }
    }
}

SendOutcome Sender::run() {
    std::string error;
    const auto to = ParseDestination(request_.number, error);
    if (!to) {
        outcome_.result = SendOutcome::Result::SetupFailed;
        outcome_.error = error;
        return outcome_;
    }
    if (auto failure = setup()) {
        outcome_.result = SendOutcome::Result::SetupFailed;
        outcome_.error = std::move(*failure);
        return outcome_;
    }
    if (request_.first < request_.messages.size()) {
        if (auto failure = waitForNetwork()) {
            outcome_.result = SendOutcome::Result::SetupFailed;
            outcome_.error = std::move(*failure);
            return outcome_;
        }
    }
    for (std::size_t i = request_.first; i < request_.messages.size(); ++i) {
        if (Cancelled(cancel_)) {
            outcome_.result = SendOutcome::Result::Cancelled;
            return outcome_;
        }
        if (!sendOne(i, *to)) {
            return outcome_;
        }
    }
    if (request_.wait.count() > 0) {
        waitForReplies();
    }
    return outcome_;
}

} // namespace

ModemTimeouts ModemTimeouts::fromEnvironment(const base::EnvironmentLookup& environment) {
    ModemTimeouts timeouts;
    if (const auto value = environment("TARVIK_MODEM_TIMEOUT_MS")) {
        const std::string_view text(*value);
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
    return national.size() >= minMatchingDigits && national.size() < international.size() &&
           international.ends_with(national);
}

SendOutcome SendRemote(AtSession& session, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel) {
    return Sender(session, request, log, observer, cancel).run();
}

} // namespace tarvik::modem
