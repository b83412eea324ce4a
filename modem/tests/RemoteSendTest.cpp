// SendRemote over a scripted port: replies delivered to the line, in parts, status reports,
// and the wait for the network before the first message.
#include "modem/RemoteSend.h"

#include "base/Hex.h"
#include "modem/MessageLog.h"
#include "modem/tests/FakePort.h"
#include "program/tests/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

constexpr const char* kDevice = "+393331234567";
// SMS-DELIVER from the device with an empty SCA (3GPP TS 23.040 §9.2.2.1): "OK", and the
// parts "Hi" and "!!" of a message in two with the 8-bit reference 2A (IEI 00, §9.2.3.24.1)
// and with the 16-bit reference 1234 (IEI 08, §9.2.3.24.8).
constexpr const char* kOk = "00040C9193331332547600005210133150900002CF25";
constexpr const char* kHead = "00440C91933313325476000052101331509000";
const std::string k8First = std::string(kHead) + "090500032A02019069";
const std::string k8Second = std::string(kHead) + "090500032A02024221";
const std::string k8FirstOfThree = std::string(kHead) + "090500032A03019069";
const std::string k16First = std::string(kHead) + "0A06080412340201C834";
const std::string k16Second = std::string(kHead) + "0A06080412340202A110";
// SMS-STATUS-REPORT (§9.2.2.3) on message reference 7 to the device: delivered (TP-ST 0).
constexpr const char* kReport = "0006070C91933313325476521013315090005210133151000000";

std::string Line(const std::string& text) {
    return "\r\n" + text + "\r\n";
}

class Recorder final : public SendObserver {
public:
    std::vector<std::string> events;
    void Replied(const ReceivedSms& reply) override { events.push_back("reply " + reply.text); }
    void Incomplete(const ReceivedSms& reply, const std::string& missing) override {
        events.push_back("incomplete " + reply.text + " (" + missing + ")");
    }
    void Reported(const StatusReport& report) override {
        events.push_back("report " + std::to_string(report.reference) + " " +
                         DescribeStatus(report.status));
    }
    void Registering(const std::string& state) override { events.push_back("network " + state); }
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
    std::string error;
    const SubmitPdu pdu = EncodeSubmit(*ParseDestination(kDevice, error), u"A");
    port.answers["AT+CMGS=" + std::to_string(pdu.tpduLength) + "\r"] = "\r\n> ";
    port.answers[ToHex(pdu.bytes) + "\x1A"] = Line("+CMGS: 7") + Line("OK") + after;
    return port;
}

SendRequest Request(milliseconds wait) {
    SendRequest request;
    request.messages = {u"A"};
    request.number = kDevice;
    request.wait = wait;
    request.registerWait = 2s;
    request.timeouts.command = request.timeouts.prompt = request.timeouts.answer = 300ms;
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
         Line("+CMT: \"Alarm\",22") + kOk + "\r\n",
         "",
         {"reply OK"},
         ",OK,ok",
         false},
        {"+CMT without alpha", Line("+CMT: ,22") + kOk + "\r\n", "", {"reply OK"}, ",OK,ok", false},
        {"16-bit parts reversed",
         Line("+CMT: ,26") + k16Second + Line("+CMT: ,26") + k16First + "\r\n",
         "",
         {"reply Hi!!"},
         ",Hi!!,ok",
         false},
        {"8-bit parts, stored and direct",
         Line("+CMTI: \"SM\",3") + Line("+CMT: ,25") + k8Second + "\r\n",
         k8First,
         {"reply Hi!!"},
         ",Hi!!,ok",
         true},
        {"a part missing",
         Line("+CMT: ,25") + k8FirstOfThree + "\r\n",
         "",
         {"incomplete Hi (parts 2, 3 of 3 missing)"},
         ",Hi,\"incomplete: parts 2, 3 of 3 missing\"",
         false},
        {"status report, then the reply",
         Line("+CDS: 25") + kReport + Line("+CMT: ,22") + kOk,
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

} // namespace
} // namespace tarvik::modem
