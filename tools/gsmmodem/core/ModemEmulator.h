#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gsmmodem {

// Where the modem puts a status report on a message it sent.
enum class StatusReports {
    None,   // it gives none
    ToLine, // +CDS and the PDU
    Stored, // stored and announced with +CDSI
};

// How the virtual modem behaves.
struct ModemOptions {
    std::string pin;             // the SIM asks for this PIN; empty: no PIN
    std::size_t failMessage = 0; // the K-th message (from 1) is answered with +CMS ERROR
    int failCode = 500;
    std::size_t muteFrom = 0;   // from the K-th AT+CMGS (from 1) on, nothing is answered
    bool mute = false;          // nothing is answered at all
    std::string reply;          // UTF-8; after each message the destination sends this back
    bool replyLater = false;    // the reply waits for deliverPending() rather than come at once
    bool chatter = false;       // unsolicited +CREG and RING lines before every answer
    bool deliverToLine = false; // replies come as +CMT with their PDU rather than stored
    std::size_t replyParts = 1; // a reply comes in this many concatenated parts
    bool wideReference = false; // their header has a 16-bit reference (IEI 08), else 8-bit
    StatusReports statusReports = StatusReports::None; // "delivered", after each message
    bool registered = true; // on the network from the start; else setRegistered()
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
// AT+CMGL, AT+CMGR and AT+CMGD list, read and delete them, or delivered to the line with
// +CMT; a long reply may come in concatenated parts (3GPP TS 23.040 §9.2.3.24.1); a status
// report on each message may come to the line (+CDS) or be stored (+CDSI). Until it
// is registered, +CREG/+CEREG say "searching" and AT+CMGS fails with +CMS ERROR: 331.
class ModemEmulator {
public:
    explicit ModemEmulator(ModemOptions options) : options_(std::move(options)) {}

    std::string feed(std::string_view bytes);

    // Delivers the replies held back by replyLater; gives what the modem then says.
    std::string deliverPending();
    bool hasPending() const { return !pending_.empty(); }

    // Registered at home from now on, or searching (AT+CREG?, AT+CEREG?, AT+CSQ tell).
    void setRegistered(bool registered) { options_.registered = registered; }

    // What happened, one line each: "pdu <HEX>" for each message received, "deleted <N>".
    std::vector<std::string> takeEvents() { return std::exchange(events_, {}); }

private:
    struct Stored {
        int index;
        bool read;
        std::string hexPdu;
    };

    std::string answerCommand(std::string_view line);
    std::string endPdu();
    std::string answer(std::string_view text) const;
    std::string finalResult(std::string_view result) const;
    std::string deliver(const std::string& from);
    std::string report(const std::string& recipient);
    std::vector<std::vector<std::uint8_t>> replyPdus(const std::string& from);

    ModemOptions options_;
    bool echo_ = true;
    bool unlocked_ = false;
    bool silent_ = false;
    bool inPdu_ = false;
    std::size_t announcedLength_ = 0;
    std::size_t messages_ = 0;
    int reference_ = 0;
    int replyReference_ = 0;
    int nextIndex_ = 1;
    std::string line_;
    std::vector<Stored> stored_;
    std::vector<std::string> pending_; // numbers a reply is held back from
    std::vector<std::string> events_;
};

} // namespace gsmmodem
