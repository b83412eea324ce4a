#pragma once

#include "base/Places.h"
#include "modem/AtSession.h"
#include "modem/DeliverPdu.h"
#include "modem/SubmitPdu.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::modem {

class MessageLog;

// How long each step may take: a command, the "> " prompt after AT+CMGS, the answer to a
// message (the network may take that long).
struct ModemTimeouts {
    milliseconds command{10000};
    milliseconds prompt{10000};
    milliseconds answer{60000};

    // The defaults, or every step TARVIK_MODEM_TIMEOUT_MS milliseconds when that is set (for
    // tests of a modem that stops answering).
    static ModemTimeouts
    fromEnvironment(const base::EnvironmentLookup& environment = base::ProcessEnvironment());
};

struct SendRequest {
    std::vector<std::u16string> messages;
    std::string number;               // the device's, as the user typed it
    std::string pin;                  // of the modem's SIM; empty when none was given
    std::size_t first = 0;            // the first message to send, counted from 0
    milliseconds wait{30000};         // for replies after the last message; 0 waits for none
    milliseconds registerWait{30000}; // for the modem to be on the network before sending
    ModemTimeouts timeouts;
};

// What happens while the messages go, as it happens. Called on the thread that sends.
class SendObserver {
public:
    virtual ~SendObserver() = default;
    virtual void sending(std::size_t /*index*/) {}
    virtual void sent(std::size_t /*index*/, std::optional<int> /*reference*/) {}
    virtual void failed(std::size_t /*index*/, const std::string& /*error*/) {}
    virtual void replied(const ReceivedSms& /*reply*/) {}
    // A reply whose parts did not all come; `missing` names the parts ("part 2 of 3 missing").
    virtual void incomplete(const ReceivedSms& /*reply*/, const std::string& /*missing*/) {}
    virtual void reported(const StatusReport& /*report*/) {}
    // The modem is not on the network yet: its state and signal in words.
    virtual void registering(const std::string& /*state*/) {}
    // Which way the messages go, when another program holds the modem (ModemManager).
    virtual void notice(const std::string& /*text*/) {}
    // Something went wrong that does not stop the sending (the log cannot be written).
    virtual void warning(const std::string& /*text*/) {}
};

struct SendOutcome {
    enum class Result { Sent, SetupFailed, MessageFailed, Cancelled };
    Result result = Result::Sent;
    std::size_t failedMessage = 0; // index, when a message failed
    std::string error;
    std::size_t sent = 0;
    std::size_t replies = 0;
};

// Readies the modem (echo off, numeric errors, its SIM's PIN, PDU mode), waits until it is
// registered on the network (home or roaming, AT+CREG?/AT+CEREG?), sends messages[first ...]
// to the number one by one, logs each, then waits for the device's replies: those stored
// already (AT+CMGL=4), each announced by +CMTI, and each delivered to the line by +CMT
// (AT+CNMI stays as the modem has it). Parts of a concatenated reply are joined first; a
// reply is shown, logged, and only then deleted from the modem; one whose parts did not all
// come is shown and logged as incomplete and stays on the modem. Status reports, delivered
// to the line (+CDS) or stored (+CDSI, and those AT+CMGL lists), are shown and logged, and
// a stored one then deleted. The first failure stops the sending.
// `cancel`, when set, stops before the next message and ends the wait.
SendOutcome SendRemote(AtSession& session, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel = nullptr);

// Whether two telephone numbers are the same line: equal digits after an international
// prefix ("+" or "00"), or one the national form of the other (a trunk 0 aside).
bool SameNumber(std::string_view a, std::string_view b);

} // namespace tarvik::modem
