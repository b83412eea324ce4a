// SendRemote over a scripted port: readying the modem and its SIM, a batch of messages that
// fails part way and its resumption, cancelling, replies announced, delivered to the line or
// in parts, status reports, and the wait for the network before the first message.
#include "modem/RemoteSend.h"

#include "base/Hex.h"
#include "modem/MessageLog.h"
#include "modem/tests/FakePort.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

constexpr const char* deviceNumber = "+393331234567";
// SMS-DELIVER from the device with an empty SCA (3GPP TS 23.040 §9.2.2.1): "OK", and the
// parts "Hi" and "!!" of a message in two with the 8-bit reference 2A (IEI 00, §9.2.3.24.1)
// and with the 16-bit reference 1234 (IEI 08, §9.2.3.24.8).
constexpr const char* okReply = "00040C9193331332547600005210133150900002CF25";
constexpr const char* partHead = "00440C91933313325476000052101331509000";
const std::string first8Bit = std::string(partHead) + "090500032A02019069";
const std::string second8Bit = std::string(partHead) + "090500032A02024221";
const std::string firstOfThree8Bit = std::string(partHead) + "090500032A03019069";
const std::string first16Bit = std::string(partHead) + "0A06080412340201C834";
const std::string second16Bit = std::string(partHead) + "0A06080412340202A110";
// SMS-STATUS-REPORT (§9.2.2.3) on message reference 7 to the device: delivered (TP-ST 0).
constexpr const char* statusReport = "0006070C91933313325476521013315090005210133151000000";

std::string Line(const std::string& text) {
    return "\r\n" + text + "\r\n";
}

// What the modem gets after its "> " prompt for `text` to the device: the PDU and Ctrl-Z.
std::string PduInput(std::u16string_view text) {
    std::string error;
    const SubmitPdu pdu = EncodeSubmit(*ParseDestination(deviceNumber, error), text);
    return ToHex(pdu.bytes) + "\x1A";
}

std::string PromptCommand() {
    std::string error;
    const SubmitPdu pdu = EncodeSubmit(*ParseDestination(deviceNumber, error), u"A");
    return "AT+CMGS=" + std::to_string(pdu.tpduLength) + "\r";
}

class Recorder final : public SendObserver {
public:
    std::vector<std::string> events;
    std::vector<std::string> progress; // what happened to each message, in turn
    void sending(std::size_t index) override {
        progress.push_back("sending " + std::to_string(index));
    }
    void sent(std::size_t index, std::optional<int> reference) override {
        progress.push_back("sent " + std::to_string(index) + " as " +
                           (reference ? std::to_string(*reference) : "?"));
    }
    void failed(std::size_t index, const std::string& error) override {
        progress.push_back("failed " + std::to_string(index) + ": " + error);
    }
    void replied(const ReceivedSms& reply) override { events.push_back("reply " + reply.text); }
    void incomplete(const ReceivedSms& reply, const std::string& missing) override {
        events.push_back("incomplete " + reply.text + " (" + missing + ")");
    }
    void reported(const StatusReport& report) override {
        events.push_back("report " + std::to_string(report.reference) + " " +
                         DescribeStatus(report.status));
    }
    void registering(const std::string& state) override { events.push_back("network " + state); }
};

// A modem that is ready, registered at home, and takes the message "A" to the device with
// `after` following its answer.
FakePort ReadyModem(const std::string& after = {}) {
    FakePort port;
    for (const char* command : {"AT\r", "ATE0\r", "AT+CMEE=1\r", "AT+CMGF=0\r", "AT+CMGL=4\r"}) {
        port.answers[command] = Line("OK");
    }
    port.answers["AT+CPIN?\r"] = Line("+CPIN: READY") + Line("OK");
    port.answers["AT+CREG?\r"] = Line("+CREG: 0,1") + Line("OK");
    port.answers["AT+CEREG?\r"] = Line("ERROR");
    port.answers["AT+CSQ\r"] = Line("+CSQ: 15,99") + Line("OK");
    port.answers["AT+CNMA\r"] = Line("+CMS ERROR: 340"); // no acknowledgement expected
    port.answers[PromptCommand()] = "\r\n> ";
    port.answers[PduInput(u"A")] = Line("+CMGS: 7") + Line("OK") + after;
    return port;
}

SendRequest Request(milliseconds wait) {
    SendRequest request;
    request.messages = {u"A"};
    request.number = deviceNumber;
    request.wait = wait;
    request.registerWait = 2s;
    // The scripted modem answers at once: these only bound a test that went wrong.
    request.timeouts.command = request.timeouts.prompt = request.timeouts.answer = 10s;
    return request;
}

// 3GPP TS 27.005 §3.4.1: a message routed to the line comes as "+CMT: [<alpha>],<length>"
// and its PDU; a stored one as +CMTI, read by AT+CMGR (§3.4.3) and deleted once logged.
TEST(RemoteSendTest, ReadsRepliesDeliveredToTheLineStoredAndInParts) {
    struct Case {
        std::string name;
        std::string after;   // what the modem says after the message's answer
        std::string stored3; // the PDU AT+CMGR=3 gives, if any
        std::vector<std::string> events;
        std::string logged; // the last text and result in the log
        bool deletes3;
    };
    const std::vector<Case> cases = {
        {"+CMT with alpha",
         Line("+CMT: \"Alarm\",22") + okReply + "\r\n",
         "",
         {"reply OK"},
         ",OK,ok",
         false},
        {"+CMT without alpha",
         Line("+CMT: ,22") + okReply + "\r\n",
         "",
         {"reply OK"},
         ",OK,ok",
         false},
        {"+CMTI", Line("+CMTI: \"SM\",3"), okReply, {"reply OK"}, ",OK,ok", true},
        {"16-bit parts reversed",
         Line("+CMT: ,26") + second16Bit + Line("+CMT: ,26") + first16Bit + "\r\n",
         "",
         {"reply Hi!!"},
         ",Hi!!,ok",
         false},
        {"8-bit parts, stored and direct",
         Line("+CMTI: \"SM\",3") + Line("+CMT: ,25") + second8Bit + "\r\n",
         first8Bit,
         {"reply Hi!!"},
         ",Hi!!,ok",
         true},
        {"a part missing",
         Line("+CMT: ,25") + firstOfThree8Bit + "\r\n",
         "",
         {"incomplete Hi (parts 2, 3 of 3 missing)"},
         ",Hi,\"incomplete: parts 2, 3 of 3 missing\"",
         false},
        {"status report, then the reply",
         Line("+CDS: 25") + statusReport + Line("+CMT: ,22") + okReply,
         "",
         {"report 7 delivered", "reply OK"},
         ",OK,ok",
         false},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem(c.after);
        if (!c.stored3.empty()) {
            port.answers["AT+CMGR=3\r"] = Line("+CMGR: 0,,25") + c.stored3 + "\r\n" + Line("OK");
            port.answers["AT+CMGD=3\r"] = Line("OK");
        }
        AtSession session(port);
        Recorder observer;
        const SendOutcome outcome = SendRemote(session, Request(400ms), log, observer);
        EXPECT_EQ(outcome.result, SendOutcome::Result::Sent) << c.name << outcome.error;
        EXPECT_EQ(observer.events, c.events) << c.name;
        EXPECT_EQ(outcome.replies, 1u) << c.name;
        const std::string csv = testing::ReadAll(folder.path() / "messages.csv");
        EXPECT_TRUE(csv.ends_with(c.logged + "\r\n")) << c.name << "\n" << csv;
        EXPECT_EQ(port.written.find("AT+CMGD=3\r") != std::string::npos, c.deletes3) << c.name;
        // Each message on the line is acknowledged once logged (3GPP TS 27.005 §3.4.4).
        EXPECT_EQ(port.written.find("AT+CNMA\r") != std::string::npos,
                  c.after.find("+CMT:") != std::string::npos)
            << c.name;
    }
}

// 3GPP TS 27.005 §3.4.1: a status report stored on the modem is announced by its index
// ("+CDSI: <mem>,<index>") or listed by AT+CMGL (§3.4.2), read by AT+CMGR (§3.4.3) and, once
// logged, deleted; one on another number's message stays.
TEST(RemoteSendTest, ReadsStoredStatusReportsAndDeletesThem) {
    // SMS-STATUS-REPORT on message reference 7 to +393339999999 (3GPP TS 23.040 §9.2.2.3).
    const std::string otherReport = "0006070C91933393999999521013315090005210133151000000";
    struct Case {
        std::string name;
        std::string after;  // what the modem says after the message's answer
        std::string listed; // what AT+CMGL=4 lists before its OK
        std::string stored4;
        std::vector<std::string> events;
        bool deletes4;
    };
    const std::vector<Case> cases = {
        {"+CDSI", Line("+CDSI: \"SM\",4"), "", statusReport, {"report 7 delivered"}, true},
        {"+CDSI on another's message", Line("+CDSI: \"SM\",4"), "", otherReport, {}, false},
        {"listed", "", Line("+CMGL: 4,1,,25") + statusReport, "", {"report 7 delivered"}, true},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem(c.after);
        port.answers["AT+CMGL=4\r"] = c.listed + Line("OK");
        if (!c.stored4.empty()) {
            port.answers["AT+CMGR=4\r"] = Line("+CMGR: 0,,25") + c.stored4 + "\r\n" + Line("OK");
        }
        port.answers["AT+CMGD=4\r"] = Line("OK");
        AtSession session(port);
        Recorder observer;
        const SendOutcome outcome = SendRemote(session, Request(300ms), log, observer);
        EXPECT_EQ(outcome.result, SendOutcome::Result::Sent) << c.name << outcome.error;
        EXPECT_EQ(observer.events, c.events) << c.name;
        const std::string csv = testing::ReadAll(folder.path() / "messages.csv");
        EXPECT_EQ(csv.ends_with(",received,+393331234567,status report on message reference 7: "
                                "delivered,ok\r\n"),
                  !c.events.empty())
            << c.name << "\n"
            << csv;
        EXPECT_EQ(port.written.find("AT+CMGD=4\r") != std::string::npos, c.deletes4) << c.name;
    }
}

// 3GPP TS 27.007 §7.2, §10.1.22: <stat> 1 (home) and 5 (roaming) are registered, 2 is
// searching, 3 denied; +CSQ (§8.5) gives the signal for the words.
TEST(RemoteSendTest, WaitsForTheNetworkBeforeTheFirstMessage) {
    struct Case {
        std::string name;
        std::vector<std::string> creg; // answers to AT+CREG? in turn; the last one stays
        std::string cereg;
        std::string error; // empty: the message goes
        std::vector<std::string> events;
    };
    const std::string searching = "network searching for a network, signal good (-83 dBm)";
    const std::vector<Case> cases = {
        {"home", {"+CREG: 0,1"}, "ERROR", "", {}},
        {"roaming", {"+CREG: 0,5"}, "ERROR", "", {}},
        {"registered on LTE only", {"+CREG: 0,2"}, "+CEREG: 0,1", "", {}},
        {"neither command known", {"ERROR"}, "ERROR", "", {}},
        {"searching, then home",
         {"+CREG: 0,2", "+CREG: 0,2", "+CREG: 0,1"},
         "ERROR",
         "",
         {searching}},
        {"searching throughout",
         {"+CREG: 0,2"},
         "+CEREG: 0,2",
         "the modem is not on the network after 700 ms: searching for a network, signal good "
         "(-83 dBm)",
         {searching}},
        {"denied",
         {"+CREG: 0,3"},
         "ERROR",
         "the modem is not on the network: registration denied by the network, signal good "
         "(-83 dBm)",
         {"network registration denied by the network, signal good (-83 dBm)"}},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem();
        const auto answer = [](const std::string& text) {
            return text == "ERROR" ? Line("ERROR") : Line(text) + Line("OK");
        };
        for (std::size_t i = 0; i + 1 < c.creg.size(); ++i) {
            port.firstAnswers["AT+CREG?\r"].push_back(answer(c.creg[i]));
        }
        port.answers["AT+CREG?\r"] = answer(c.creg.back());
        port.answers["AT+CEREG?\r"] = answer(c.cereg);
        AtSession session(port);
        Recorder observer;
        SendRequest request = Request(0ms);
        request.registerWait = 700ms;
        const SendOutcome outcome = SendRemote(session, request, log, observer);
        EXPECT_EQ(outcome.error, c.error) << c.name;
        EXPECT_EQ(outcome.sent, c.error.empty() ? 1u : 0u) << c.name;
        EXPECT_EQ(port.written.find("AT+CMGS=") != std::string::npos, c.error.empty()) << c.name;
        EXPECT_EQ(observer.events, c.events) << c.name;
    }
}

// Readying the modem: 3GPP TS 27.007 §8.3 (+CPIN: READY, SIM PIN, SIM PUK; +CME ERROR: 16
// for a wrong PIN, 10 without a SIM), TS 27.005 §3.2.3 (+CMGF=0, PDU mode). Whatever fails
// here fails before any message: nothing is sent and nothing is logged.
TEST(RemoteSendTest, StopsBeforeTheFirstMessageWhenTheModemIsNotReady) {
    struct Case {
        std::string name;
        std::function<void(FakePort&)> script;
        std::string pin;
        std::string number;
        std::string error; // empty: ready, the message goes
    };
    const auto simAsks = [](const std::string& code) {
        return [code](FakePort& port) {
            port.answers["AT+CPIN?\r"] = Line("+CPIN: " + code) + Line("OK");
        };
    };
    const auto pinAnswer = [](const std::string& pin, const std::string& answer) {
        return [pin, answer](FakePort& port) {
            port.answers["AT+CPIN?\r"] = Line("+CPIN: SIM PIN") + Line("OK");
            port.answers["AT+CPIN=\"" + pin + "\"\r"] = Line(answer);
        };
    };
    const std::vector<Case> cases = {
        {"ready", [](FakePort&) {}, "", deviceNumber, ""},
        {"PIN asked, none given", simAsks("SIM PIN"), "", deviceNumber,
         "the modem's SIM asks for its PIN, and none was given"},
        {"PIN refused", pinAnswer("0000", "+CME ERROR: 16"), "0000", deviceNumber,
         "the modem's SIM refused the PIN: +CME ERROR: 16 (incorrect password)"},
        {"PIN taken", pinAnswer("1234", "OK"), "1234", deviceNumber, ""},
        {"PUK asked", simAsks("SIM PUK"), "1234", deviceNumber,
         "the modem's SIM asks for SIM PUK; unlock it in a phone first"},
        {"no SIM", [](FakePort& port) { port.answers["AT+CPIN?\r"] = Line("+CME ERROR: 10"); }, "",
         deviceNumber, "the modem's SIM: +CME ERROR: 10 (SIM not inserted)"},
        {"no PDU mode", [](FakePort& port) { port.answers["AT+CMGF=0\r"] = Line("ERROR"); }, "",
         deviceNumber, "the modem does not take PDU mode (AT+CMGF=0): ERROR"},
        {"silent", [](FakePort& port) { port.answers.clear(); }, "", deviceNumber,
         "the modem does not answer AT"},
        {"hung up", [](FakePort& port) { port.hungUp = true; }, "", deviceNumber,
         "/dev/ttyFAKE: the modem hung up"},
        {"left in PDU input: the first AT is lost",
         [](FakePort& port) { port.firstAnswers["AT\r"] = {""}; }, "", deviceNumber, ""},
        {"no telephone number", [](FakePort&) {}, "", "12a",
         "'12a' is not a telephone number: up to 20 digits, with + or 00 before an international "
         "one"},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem();
        c.script(port);
        AtSession session(port);
        Recorder observer;
        SendRequest request = Request(0ms);
        request.pin = c.pin;
        request.number = c.number;
        request.timeouts.command = 100ms; // for the modem that keeps silent
        const SendOutcome outcome = SendRemote(session, request, log, observer);
        EXPECT_EQ(outcome.error, c.error) << c.name;
        EXPECT_EQ(outcome.result,
                  c.error.empty() ? SendOutcome::Result::Sent : SendOutcome::Result::SetupFailed)
            << c.name;
        EXPECT_EQ(port.written.find("AT+CMGS=") != std::string::npos, c.error.empty()) << c.name;
        EXPECT_EQ(std::filesystem::exists(folder.path() / "messages.csv"), c.error.empty())
            << c.name;
    }
}

// A batch stops at the first message that fails, whether the modem refuses AT+CMGS
// (3GPP TS 27.005 §3.5.1: +CMS ERROR before the prompt), gives no prompt (left with ESC),
// or refuses the message itself: the messages before it went, the ones after it are not
// tried, and both are in the log. Started again from the failed one, it sends only the rest.
TEST(RemoteSendTest, StopsAtTheFailedMessageAndResumesFromIt) {
    struct Case {
        std::string name;
        std::deque<std::string> prompts; // answers to the AT+CMGS of each message in turn
        std::string secondAnswer;        // to the second message's PDU
        std::string error;
    };
    const std::vector<Case> cases = {
        {"refused after the PDU",
         {"\r\n> ", "\r\n> "},
         Line("+CMS ERROR: 500"),
         "+CMS ERROR: 500 (unknown error)"},
        {"refused before the prompt",
         {"\r\n> ", Line("+CMS ERROR: 330")},
         Line("+CMGS: 8") + Line("OK"),
         "+CMS ERROR: 330 (SMSC address unknown)"},
        {"no prompt",
         {"\r\n> ", ""},
         Line("+CMGS: 8") + Line("OK"),
         "no \"> \" prompt from the modem within 100 ms after " +
             PromptCommand().substr(0, PromptCommand().size() - 1)},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem();
        port.firstAnswers[PromptCommand()] = c.prompts;
        port.answers[PduInput(u"B")] = c.secondAnswer;
        port.answers[PduInput(u"C")] = Line("+CMGS: 9") + Line("OK");
        AtSession session(port);
        Recorder observer;
        SendRequest request = Request(0ms);
        request.messages = {u"A", u"B", u"C"};
        request.timeouts.prompt = 100ms; // for the modem that gives no prompt
        const SendOutcome outcome = SendRemote(session, request, log, observer);
        EXPECT_EQ(outcome.result, SendOutcome::Result::MessageFailed) << c.name;
        EXPECT_EQ(outcome.failedMessage, 1u) << c.name;
        EXPECT_EQ(outcome.sent, 1u) << c.name;
        EXPECT_EQ(outcome.error, c.error) << c.name;
        EXPECT_EQ(observer.progress,
                  (std::vector<std::string>{"sending 0", "sent 0 as 7", "sending 1",
                                            "failed 1: " + c.error}))
            << c.name;
        EXPECT_EQ(port.written.find(PduInput(u"C")), std::string::npos) << c.name;
        const std::string csv = testing::ReadAll(folder.path() / "messages.csv");
        EXPECT_NE(csv.find(",sent,+393331234567,A,ok\r\n"), std::string::npos) << csv;
        EXPECT_NE(csv.find(",sent,+393331234567,B,"), std::string::npos) << csv;
        EXPECT_EQ(csv.find(",C,"), std::string::npos) << csv;

        // The modem takes the message now: the rest goes, and the first is not sent again.
        FakePort again = ReadyModem();
        again.answers[PduInput(u"B")] = Line("+CMGS: 8") + Line("OK");
        again.answers[PduInput(u"C")] = Line("+CMGS: 9") + Line("OK");
        AtSession resumed(again);
        Recorder resumedObserver;
        request.first = outcome.failedMessage;
        const SendOutcome rest = SendRemote(resumed, request, log, resumedObserver);
        EXPECT_EQ(rest.result, SendOutcome::Result::Sent) << c.name << rest.error;
        EXPECT_EQ(rest.sent, 2u) << c.name;
        EXPECT_EQ(resumedObserver.progress, (std::vector<std::string>{"sending 1", "sent 1 as 8",
                                                                      "sending 2", "sent 2 as 9"}))
            << c.name;
        EXPECT_EQ(again.written.find(PduInput(u"A")), std::string::npos) << c.name;
    }
}

// Cancelling stops before the next message and ends the wait for replies; what went stays
// sent.
TEST(RemoteSendTest, CancellingStopsBeforeTheNextMessageAndEndsTheWait) {
    class Canceller final : public SendObserver {
    public:
        Canceller(std::atomic<bool>& cancel, std::optional<std::size_t> afterSent)
            : cancel_(cancel), afterSent_(afterSent) {}
        void sent(std::size_t index, std::optional<int>) override {
            if (afterSent_ == index) {
                cancel_ = true;
            }
        }

    private:
        std::atomic<bool>& cancel_;
        std::optional<std::size_t> afterSent_;
    };
    struct Case {
        std::string name;
        bool cancelledAtStart;
        std::optional<std::size_t> cancelAfterSent;
        SendOutcome::Result result;
        std::size_t sent;
    };
    const std::vector<Case> cases = {
        {"before the first message", true, std::nullopt, SendOutcome::Result::Cancelled, 0},
        {"after the first message", false, 0, SendOutcome::Result::Cancelled, 1},
        {"while waiting for replies", false, 1, SendOutcome::Result::Sent, 2},
    };
    for (const auto& c : cases) {
        testing::TemporaryFolder folder;
        MessageLog log(folder.path() / "messages.csv");
        FakePort port = ReadyModem();
        port.answers[PduInput(u"B")] = Line("+CMGS: 8") + Line("OK");
        AtSession session(port);
        std::atomic<bool> cancel = c.cancelledAtStart;
        Canceller observer(cancel, c.cancelAfterSent);
        SendRequest request = Request(testing::kGenerousWait);
        request.messages = {u"A", u"B"};
        const auto start = std::chrono::steady_clock::now();
        const SendOutcome outcome = SendRemote(session, request, log, observer, &cancel);
        EXPECT_EQ(outcome.result, c.result) << c.name;
        EXPECT_EQ(outcome.sent, c.sent) << c.name;
        EXPECT_EQ(port.written.find(PduInput(u"B")) != std::string::npos, c.sent == 2) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, testing::kGenerousWait / 2) << c.name;
    }
}

TEST(RemoteSendTest, MatchesTheDevicesNumberInEitherForm) {
    struct Case {
        std::string a, b;
        bool same;
    };
    const std::vector<Case> cases = {
        {"+393331234567", "+393331234567", true},  {"+393331234567", "00393331234567", true},
        {"+393331234567", "3331234567", true},     {"+393331234567", "03331234567", true},
        {"+393331234567", "+393331234568", false}, {"+393331234567", "4567", false},
        {"0331234567", "331234567", false},        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameNumber(c.a, c.b), c.same) << c.a << " " << c.b;
        EXPECT_EQ(SameNumber(c.b, c.a), c.same) << c.b << " " << c.a;
    }
}

// Stored messages listed in PDU mode (3GPP TS 27.005 3.4.2), SMS-DELIVER "OK" (TS 23.040
// 9.2.2.1) with an empty SMSC address: one from the device, one from another line. Only the
// device's reply is deleted (AT+CMGD, 27.005 3.5.4), and only once it is in the log.
TEST(RemoteSendTest, DeletesOnlyTheDevicesRepliesAndOnlyOnceLogged) {
    const std::string fromDevice = "00040C9193331332547600006221804000000002CF25";
    const std::string fromOther = "00040C9193339399999900006221804000000002CF25";
    for (const bool logWritable : {true, false}) {
        testing::TemporaryFolder folder;
        const std::string blocked = (folder.path() / "blocked").string();
        testing::WriteAll(blocked, "a file where the log's folder should be");
        MessageLog log(logWritable ? folder.path() / "messages.csv"
                                   : std::filesystem::path(blocked) / "messages.csv");
        FakePort port;
        for (const char* command :
             {"AT\r", "ATE0\r", "AT+CMEE=1\r", "AT+CMGF=0\r", "AT+CMGD=1\r", "AT+CMGD=2\r"}) {
            port.answers[command] = "\r\nOK\r\n";
        }
        port.answers["AT+CPIN?\r"] = "\r\n+CPIN: READY\r\n\r\nOK\r\n";
        port.answers["AT+CMGL=4\r"] = "\r\n+CMGL: 1,1,,22\r\n" + fromDevice +
                                      "\r\n+CMGL: 2,1,,22\r\n" + fromOther + "\r\n\r\nOK\r\n";
        AtSession session(port);
        SendRequest request;
        request.number = "+393331234567";
        request.wait = 50ms;
        SendObserver observer;
        const SendOutcome outcome = SendRemote(session, request, log, observer);
        EXPECT_EQ(outcome.replies, 1u) << logWritable;
        EXPECT_EQ(port.written.find("AT+CMGD=1\r") != std::string::npos, logWritable);
        EXPECT_EQ(port.written.find("AT+CMGD=2\r"), std::string::npos) << logWritable;
    }
}

TEST(RemoteSendTest, TakesOneTimeoutForEveryStepFromTheEnvironment) {
    struct Case {
        const char* value; // nullptr: not set
        milliseconds expected;
    };
    const ModemTimeouts defaults;
    const Case cases[] = {
        {nullptr, defaults.command}, {"250", 250ms},
        {"0", defaults.command},     {"-5", defaults.command},
        {"12x", defaults.command},   {"", defaults.command},
    };
    for (const auto& c : cases) {
        const ModemTimeouts timeouts = ModemTimeouts::fromEnvironment(
            [&](std::string_view name) -> std::optional<std::string> {
                if (name != "TARVIK_MODEM_TIMEOUT_MS" || c.value == nullptr) {
                    return std::nullopt;
                }
                return c.value;
            });
        const char* shown = c.value != nullptr ? c.value : "(unset)";
        EXPECT_EQ(timeouts.command, c.expected) << shown;
        EXPECT_EQ(timeouts.prompt,
                  c.value != nullptr && c.expected == 250ms ? 250ms : defaults.prompt)
            << shown;
        EXPECT_EQ(timeouts.answer,
                  c.value != nullptr && c.expected == 250ms ? 250ms : defaults.answer)
            << shown;
    }
}

} // namespace
} // namespace tarvik::modem
