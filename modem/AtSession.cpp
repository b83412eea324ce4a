#include "modem/AtSession.h"

#include "modem/ErrorText.h"

#include <array>
#include <utility>

namespace tarvik::modem {
namespace {

constexpr char ctrlZ = '\x1A';
constexpr char escape = '\x1B';
// What may stand before a line: line ends, and blanks. The blank after the "> " prompt
// comes in whatever read the port hands over; dropped here, it never makes a line of its
// own nor hides the result that follows it (" NO CARRIER").
constexpr std::string_view beforeLine = "\r\n \t";

std::string Seconds(milliseconds wait) {
    const auto ms = wait.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Whether a line can be the hexadecimal PDU after +CMT/+CDS.
bool IsHexLine(std::string_view line) {
    return !line.empty() && line.find_first_not_of("0123456789ABCDEFabcdef") == line.npos;
}

} // namespace

bool IsUnsolicited(std::string_view line) {
    static constexpr std::array<std::string_view, 14> codes = {
        "RING",   "+CMTI:", "+CREG:", "+CGREG:", "+CDSI:", "+CLIP:", "+CRING:",
        "+CUSD:", "+CIEV:", "+CBMI:", "+CEREG:", "+CMT:",  "+CDS:",  "^",
    };
    for (const std::string_view code : codes) {
        if (line.starts_with(code)) {
            return true;
        }
    }
    return false;
}

AtSession::Got AtSession::readLine(Clock::time_point deadline, bool acceptPrompt,
                                   std::string& line) {
    for (;;) {
        // Every decision below looks only at bytes already complete (a line up to its end,
        // the prompt's one character), so the answer is the same however the port splits it.
        const std::size_t start = buffer_.find_first_not_of(beforeLine);
        if (start == std::string::npos) {
            buffer_.clear();
        } else {
            buffer_.erase(0, start);
            if (acceptPrompt && buffer_.starts_with('>')) {
                buffer_.erase(0, 1); // its blank goes with what stands before the next line
                return Got::Prompt;
            }
            const std::size_t end = buffer_.find_first_of("\r\n");
            if (end != std::string::npos) {
                line = buffer_.substr(0, end);
                buffer_.erase(0, end);
                if (!awaitingPdu_.empty() && !IsHexLine(line)) {
                    // A +CMT/+CDS without its PDU: kept as it came, the line read as usual.
                    unsolicited_.push_back(std::exchange(awaitingPdu_, {}));
                }
                return Got::Line;
            }
        }
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return Got::Timeout;
        }
        switch (port_.read(buffer_, left)) {
        case SerialPort::Status::Data:
        case SerialPort::Status::Timeout:
            break;
        case SerialPort::Status::Failed:
            failed_ = true;
            return Got::Failed;
        }
    }
}

namespace {

// The codes of 3GPP TS 27.005 §3.4.1 whose PDU follows on a line of its own in PDU mode.
bool CarriesPdu(std::string_view line) {
    return line.starts_with("+CMT:") || line.starts_with("+CDS:");
}

// The prefix of the command's own information lines: "+CREG:" for AT+CREG?. Such a line
// answers the command even when the same code may also come unsolicited.
std::string AnswerPrefix(std::string_view command) {
    if (!command.starts_with("AT+")) {
        return {};
    }
    command.remove_prefix(2);
    return std::string(command.substr(0, command.find_first_of("?="))).append(1, ':');
}

} // namespace

bool AtSession::keepUnsolicited(std::string& line) {
    if (!awaitingPdu_.empty()) {
        unsolicited_.push_back(std::exchange(awaitingPdu_, {}) + '\n' + line);
        return true;
    }
    if (CarriesPdu(line)) {
        awaitingPdu_ = std::move(line);
        return true;
    }
    if (IsUnsolicited(line)) {
        unsolicited_.push_back(std::move(line));
        return true;
    }
    return false;
}

AtResult AtSession::portFailure() {
    failed_ = true;
    AtResult result;
    result.error = port_.error();
    return result;
}

AtResult AtSession::finish(std::string_view echo, Clock::time_point deadline, std::string_view what,
                           std::string_view answerPrefix) {
    AtResult result;
    std::string line;
    for (;;) {
        switch (readLine(deadline, false, line)) {
        case Got::Failed:
            return portFailure();
        case Got::Timeout:
            result.timedOut = true;
            result.error = "no answer from the modem to " + std::string(what);
            return result;
        case Got::Prompt:
        case Got::Line:
            break;
        }
        if (awaitingPdu_.empty()) {
            if (line == "OK") {
                result.ok = true;
                return result;
            }
            if (auto failure = DescribeFailure(line)) {
                result.error = std::move(*failure);
                return result;
            }
            if (!echo.empty() && line.starts_with(echo)) {
                continue; // the modem's echo, before ATE0
            }
        }
        const bool ownAnswer =
            awaitingPdu_.empty() && !answerPrefix.empty() && line.starts_with(answerPrefix);
        if (ownAnswer || !keepUnsolicited(line)) {
            result.lines.push_back(std::move(line));
        }
    }
}

AtResult AtSession::command(std::string_view command, milliseconds timeout) {
    if (!port_.write(std::string(command) + "\r")) {
        return portFailure();
    }
    AtResult result = finish(command, Clock::now() + timeout, command, AnswerPrefix(command));
    if (result.timedOut) {
        result.error += " within " + Seconds(timeout);
    }
    return result;
}

void AtSession::drain(milliseconds quiet) {
    std::string line;
    const auto deadline = Clock::now() + quiet;
    while (readLine(deadline, true, line) == Got::Line) {
        keepUnsolicited(line);
    }
    buffer_.clear();
}

AtResult AtSession::submit(std::size_t tpduLength, std::string_view hexPdu, milliseconds prompt,
                           milliseconds answer) {
    const std::string command = "AT+CMGS=" + std::to_string(tpduLength);
    if (!port_.write(command + "\r")) {
        return portFailure();
    }
    const auto promptDeadline = Clock::now() + prompt;
    std::string line;
    for (bool prompted = false; !prompted;) {
        switch (readLine(promptDeadline, true, line)) {
        case Got::Failed:
            return portFailure();
        case Got::Timeout: {
            // ESC leaves the PDU input without sending; what the modem says to it is
            // no answer to anything that follows.
            if (!port_.write(std::string(1, escape))) {
                return portFailure();
            }
            drain(std::min(prompt, milliseconds(500)));
            AtResult result;
            result.timedOut = true;
            result.error =
                "no \"> \" prompt from the modem within " + Seconds(prompt) + " after " + command;
            return result;
        }
        case Got::Prompt:
            prompted = true;
            break;
        case Got::Line:
            if (awaitingPdu_.empty()) {
                if (auto failure = DescribeFailure(line)) {
                    AtResult result;
                    result.error = std::move(*failure);
                    return result;
                }
            }
            keepUnsolicited(line);
            break; // else the echo of the command
        }
    }
    if (!port_.write(std::string(hexPdu) + ctrlZ)) {
        return portFailure();
    }
    AtResult result = finish(hexPdu, Clock::now() + answer, "the message", "+CMGS:");
    if (result.timedOut) {
        result.error += " within " + Seconds(answer);
    }
    return result;
}

std::optional<std::string> AtSession::nextUnsolicited(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string line;
    while (unsolicited_.empty()) {
        const Got got = readLine(deadline, false, line);
        if (got != Got::Line) {
            return std::nullopt;
        }
        // Outside a command only unsolicited lines are expected; a stray answer is dropped.
        keepUnsolicited(line);
    }
    std::string next = std::move(unsolicited_.front());
    unsolicited_.pop_front();
    return next;
}

} // namespace tarvik::modem
