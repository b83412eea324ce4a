#include "modem/AtSession.h"

#include "modem/tests/FakePort.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

// Every exchange below runs with each delivery and must give the same result.
class AtSessionTest : public ::testing::TestWithParam<Delivery> {
protected:
    FakePort Port() const { return FakePort(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Splits, AtSessionTest,
                         ::testing::Values(Delivery::Whole, Delivery::ByteByByte, Delivery::Random),
                         [](const auto& info) {
                             switch (info.param) {
                             case Delivery::Whole:
                                 return "Whole";
                             case Delivery::ByteByByte:
                                 return "ByteByByte";
                             case Delivery::Random:
                                 return "Random";
                             }
                             return "";
                         });

// Final results of 3GPP TS 27.005 3.2.5 and 27.007 9.2, with the meaning of the code.
TEST_P(AtSessionTest, ReadsAnswersUpToTheirFinalResult) {
    struct Case {
        std::string answer;
        bool ok;
        std::vector<std::string> lines;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"AT+CPIN?\r\r\n+CPIN: READY\r\n\r\nOK\r\n", true, {"+CPIN: READY"}, ""}, // echo
        {"\r\nERROR\r\n", false, {}, "ERROR"},
        {"\r\n+CMS ERROR: 330\r\n", false, {}, "+CMS ERROR: 330 (SMSC address unknown)"},
        {"\r\n+CMS ERROR: 500\r\n", false, {}, "+CMS ERROR: 500 (unknown error)"},
        {"\r\n+CME ERROR: 16\r\n", false, {}, "+CME ERROR: 16 (incorrect password)"},
        {"\r\n+CMS ERROR: 999\r\n", false, {}, "+CMS ERROR: 999"},
        {"", false, {}, "no answer from the modem to AT+CPIN? within 30 ms"},
    };
    for (const auto& c : cases) {
        FakePort port = Port();
        port.answers["AT+CPIN?\r"] = c.answer;
        AtSession session(port);
        const AtResult result = session.command("AT+CPIN?", 30ms);
        EXPECT_EQ(result.ok, c.ok) << c.answer;
        EXPECT_EQ(result.lines, c.lines) << c.answer;
        EXPECT_EQ(result.error, c.error) << c.answer;
    }
}

TEST_P(AtSessionTest, KeepsUnsolicitedLinesApartFromAnswers) {
    FakePort port = Port();
    port.incoming = "\r\nRING\r\n";
    port.answers["AT+CMGR=2\r"] = "\r\n+CMGR: 0,,5\r\n\r\n+CMTI: \"SM\",3\r\n0004\r\n"
                                  "\r\n+CREG: 1\r\n\r\nOK\r\n";
    AtSession session(port);
    const AtResult result = session.command("AT+CMGR=2", 100ms);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.lines, (std::vector<std::string>{"+CMGR: 0,,5", "0004"}));
    std::vector<std::string> unsolicited;
    while (const auto line = session.nextUnsolicited(10ms)) {
        unsolicited.push_back(*line);
    }
    EXPECT_EQ(unsolicited, (std::vector<std::string>{"RING", "+CMTI: \"SM\",3", "+CREG: 1"}));
}

// 3GPP TS 27.005 §3.4.1: in PDU mode "+CMT: [<alpha>],<length>" and "+CDS: <length>" are
// followed by their PDU on a line of their own; each comes as one, inside an answer or not.
TEST_P(AtSessionTest, KeepsTheLineAfterCmtAndCdsAsItsPdu) {
    FakePort port = Port();
    port.incoming = "\r\n+CMT: \"Alice\",22\r\n00040C9193331332547600005210133150900002CF25\r\n";
    port.answers["AT\r"] = "\r\n+CMT: ,22\r\n00040C9193331332547600005210133150900002CF25\r\n"
                           "\r\n+CDS: 25\r\n0006070C919333133254765210133150900052101331510000"
                           "00\r\n\r\nOK\r\n";
    AtSession session(port);
    const AtResult result = session.command("AT", 100ms);
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.lines.empty());
    std::vector<std::string> unsolicited;
    while (const auto line = session.nextUnsolicited(10ms)) {
        unsolicited.push_back(*line);
    }
    EXPECT_EQ(unsolicited, (std::vector<std::string>{
                               "+CMT: \"Alice\",22\n00040C9193331332547600005210133150900002CF25",
                               "+CMT: ,22\n00040C9193331332547600005210133150900002CF25",
                               "+CDS: 25\n0006070C91933313325476521013315090005210133151000000"}));
}

// A +CMT whose PDU never comes spoils neither the answer nor the next command.
TEST_P(AtSessionTest, ACmtWithoutItsPduIsKeptAlone) {
    FakePort port = Port();
    port.answers["AT\r"] = "\r\n+CMT: ,22\r\n\r\nOK\r\n";
    AtSession session(port);
    EXPECT_TRUE(session.command("AT", 100ms).ok);
    EXPECT_EQ(session.nextUnsolicited(1ms), "+CMT: ,22");
    EXPECT_TRUE(session.command("AT", 100ms).ok);
}

TEST_P(AtSessionTest, SubmitsThePduAfterThePrompt) {
    FakePort port = Port();
    port.answers["AT+CMGS=3\r"] = "\r\n+CREG: 1\r\n\r\n> ";
    port.answers["001100\x1A"] = "\r\n+CMGS: 7\r\n\r\nOK\r\n";
    AtSession session(port);
    const AtResult result = session.submit(3, "001100", 100ms, 100ms);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lines, (std::vector<std::string>{"+CMGS: 7"}));
    EXPECT_EQ(session.nextUnsolicited(1ms), "+CREG: 1");
}

// 3GPP TS 27.005 3.5.1: after the "> " prompt the modem may end the PDU input with a final
// result instead of an answer to the message. Whether the blank comes with the ">" or with
// the result, that is the failure it names and never a message sent.
TEST_P(AtSessionTest, AFailureRightAfterThePromptIsNeverASend) {
    const std::pair<std::string, std::string> results[] = {
        {"NO CARRIER", "NO CARRIER"},
        {"+CMS ERROR: 500", "+CMS ERROR: 500 (unknown error)"},
    };
    for (const auto& [line, error] : results) {
        for (const std::size_t cut : {3u, 4u}) { // "\r\n>" | " ..." and "\r\n> " | "..."
            FakePort port = Port();
            port.answers["AT+CMGS=3\r"] = "\r\n> " + line + "\r\n";
            port.answers["001100\x1A"] = "\r\n+CMGS: 7\r\n\r\nOK\r\n";
            port.pieces = {cut};
            AtSession session(port);
            const AtResult result = session.submit(3, "001100", 100ms, 100ms);
            EXPECT_FALSE(result.ok) << line << " cut at " << cut;
            EXPECT_FALSE(result.timedOut) << line << " cut at " << cut;
            EXPECT_EQ(result.error, error) << line << " cut at " << cut;
            EXPECT_TRUE(result.lines.empty()) << line << " cut at " << cut;
        }
    }
}

TEST_P(AtSessionTest, LeavesThePduInputWithEscapeWhenNoPromptComes) {
    FakePort port = Port();
    AtSession session(port);
    const AtResult result = session.submit(3, "001100", 20ms, 100ms);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.error, "no \"> \" prompt from the modem within 20 ms after AT+CMGS=3");
    EXPECT_EQ(port.written, "AT+CMGS=3\r\x1B");
}

TEST_P(AtSessionTest, SendsNoPduWhenTheModemRefusesTheCommand) {
    FakePort port = Port();
    port.answers["AT+CMGS=3\r"] = "\r\n+CMS ERROR: 311\r\n";
    AtSession session(port);
    const AtResult result = session.submit(3, "001100", 100ms, 100ms);
    EXPECT_EQ(result.error, "+CMS ERROR: 311 (SIM PIN required)");
    EXPECT_EQ(port.written, "AT+CMGS=3\r");
}

TEST_P(AtSessionTest, ReportsAPortThatHungUp) {
    FakePort port = Port();
    port.hungUp = true;
    AtSession session(port);
    const AtResult result = session.command("AT", 100ms);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(session.failed());
    EXPECT_EQ(result.error, "/dev/ttyFAKE: the modem hung up");
}

} // namespace
} // namespace tarvik::modem
