#pragma once

#include "modem/SerialPort.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

using std::chrono::milliseconds;

// The answer to one command.
struct AtResult {
    bool ok = false;
    std::vector<std::string> lines; // information lines, without echo and unsolicited lines
    std::string error;              // when not ok: what went wrong, for the user
    bool timedOut = false;          // the modem said nothing in time
};

// Commands and their answers on a modem's serial port (3GPP TS 27.005/27.007): every wait
// has its timeout, the echo of a command is skipped, and unsolicited result codes (+CMTI,
// RING, +CREG ...) that arrive in between are kept apart, never taken for an answer.
class AtSession {
public:
    explicit AtSession(SerialPort& port) : port_(port) {}

    // Sends `command` and CR, and reads until OK or a failure result.
    AtResult command(std::string_view command, milliseconds timeout);

    // AT+CMGS=<tpduLength>, the "> " prompt, the PDU in hex and Ctrl-Z, then +CMGS: <mr>
    // and OK. Without a prompt in time it sends ESC, so that the modem leaves the PDU
    // input, and fails.
    AtResult submit(std::size_t tpduLength, std::string_view hexPdu, milliseconds prompt,
                    milliseconds answer);

    // The next unsolicited line kept or arriving within `timeout`; nothing when none came
    // (or the port failed: failed() then tells). A code followed by a PDU on the next line
    // (+CMT, +CDS: 3GPP TS 27.005 §3.4.1) comes as one: the code, '\n', the PDU.
    std::optional<std::string> nextUnsolicited(milliseconds timeout);

    bool failed() const { return failed_; }

private:
    enum class Got { Line, Prompt, Timeout, Failed };
    using Clock = std::chrono::steady_clock;

    Got readLine(Clock::time_point deadline, bool acceptPrompt, std::string& line);
    // Reads lines up to the final result of `command`; lines that start with `answerPrefix`
    // are the command's own even when the code may come unsolicited too (+CREG, +CEREG).
    AtResult finish(std::string_view echo, Clock::time_point deadline, std::string_view what,
                    std::string_view answerPrefix);
    AtResult portFailure();
    void drain(milliseconds quiet);
    // Keeps `line` when it is unsolicited or the PDU of a +CMT/+CDS; false for any other.
    bool keepUnsolicited(std::string& line);

    SerialPort& port_;
    std::string buffer_;
    std::deque<std::string> unsolicited_;
    std::string awaitingPdu_; // a +CMT/+CDS line whose PDU is still to come
    bool failed_ = false;
};

// Whether a line is an unsolicited result code rather than part of an answer. +CMT and +CDS
// are, and the line after them is their PDU.
bool IsUnsolicited(std::string_view line);

} // namespace tarvik::modem
