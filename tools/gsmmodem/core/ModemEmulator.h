#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gsmmodem {

// How the virtual modem behaves.
struct ModemOptions {
    std::string pin;             // the SIM asks for this PIN; empty: no PIN
    std::size_t failMessage = 0; // the K-th message (from 1) is answered with +CMS ERROR
    int failCode = 500;
    std::size_t muteFrom = 0; // from the K-th AT+CMGS (from 1) on, nothing is answered
    bool mute = false;        // nothing is answered at all
    std::string reply;        // UTF-8; after each message the destination sends this back
    bool replyLater = false;  // the reply waits for DeliverPending() rather than come at once
    bool chatter = false;     // unsolicited +CREG and RING lines before every answer
    std::string vendor = "Tarvik";
    std::string model = "Virtual GSM modem";
};

// A message as the modem received it, read by the modem's own decoder.
struct SubmittedMessage {
    std::string number; // "+" before an international number
    std::string text;   // UTF-8
};

// Reads the hex PDU of AT+CMGS (service-centre address, SMS-SUBMIT); nothing when it is not one.
std::optional<SubmittedMessage> DecodeSubmitted(std::string_view hexPdu);

// A GSM modem's command interpreter in PDU mode (3GPP TS 27.005): bytes from the line in,
// bytes to the line out. Echo is on until ATE0; AT+CMGS gives the "> " prompt, Ctrl-Z ends
// the PDU and ESC drops it; received replies are stored and announced with +CMTI, and
// AT+CMGL, AT+CMGR and AT+CMGD list, read and delete them.
class ModemEmulator {
public:
    explicit ModemEmulator(ModemOptions options) : options_(std::move(options)) {}

    std::string Feed(std::string_view bytes);

    // Delivers the replies held back by replyLater; gives what the modem then says.
    std::string DeliverPending();
    bool HasPending() const { return !pending_.empty(); }

    // What happened, one line each: "pdu <HEX>" for each message received, "deleted <N>".
    std::vector<std::string> TakeEvents() { return std::exchange(events_, {}); }

private:
    struct Stored {
        int index;
        bool read;
        std::string hexPdu;
    };

    std::string Command(std::string_view line);
    std::string EndPdu();
    std::string Answer(std::string_view text) const;
    std::string Final(std::string_view result) const;
    std::string Deliver(const std::string& from);

    ModemOptions options_;
    bool echo_ = true;
    bool unlocked_ = false;
    bool silent_ = false;
    bool inPdu_ = false;
    std::size_t announcedLength_ = 0;
    std::size_t messages_ = 0;
    int reference_ = 0;
    int nextIndex_ = 1;
    std::string line_;
    std::vector<Stored> stored_;
    std::vector<std::string> pending_; // numbers a reply is held back from
    std::vector<std::string> events_;
};

} // namespace gsmmodem
