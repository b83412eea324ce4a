// The modem library on a COM port under wine, with the Linux virtual modem behind it:
// scripts/wine-modem-run links the port to gsmmodem's pseudo-terminal, lists it in the
// registry, and says which port it is and where gsmmodem records what it received.
#include "modem/AtSession.h"
#include "modem/MessageLog.h"
#include "modem/ModemScan.h"
#include "modem/RemoteSend.h"
#include "modem/SerialPort.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The port wine-modem-run linked; the test fails at once when it runs without it.
std::string LinkedPort() {
    const std::string port = Environment("TARVIK_TEST_MODEM_PORT");
    EXPECT_FALSE(port.empty()) << "run this test through scripts/wine-modem-run";
    return port;
}

// The values gsmmodem recorded under `kind` ("pdu", "deleted"), in order.
std::vector<std::string> Recorded(std::string_view kind) {
    std::vector<std::string> values;
    std::ifstream in(Environment("TARVIK_TEST_MODEM_RECORD"));
    const std::string prefix = std::string(kind) + " ";
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) {
            values.push_back(line.substr(prefix.size()));
        }
    }
    return values;
}

class RecordingObserver final : public SendObserver {
public:
    void replied(const ReceivedSms& reply) override { replies.push_back(reply); }
    void failed(std::size_t, const std::string& error) override { failures.push_back(error); }
    std::vector<ReceivedSms> replies;
    std::vector<std::string> failures;
};

// gsmmodem answers every message with "OK TL1" from the number it went to (its --reply).
TEST(ComLinkTest, SendsARemoteProgrammingMessageAndReadsTheReply) {
    std::string error;
    const auto port = OpenSerialPort(LinkedPort(), error);
    ASSERT_TRUE(port) << error;
    AtSession session(*port);
    testing::TemporaryFolder folder;
    MessageLog log(folder.path() / "messages.csv");
    SendRequest request;
    request.messages = {u"TL1=1;"};
    request.number = "0331234567";
    request.wait = 20s;
    RecordingObserver observer;

    const auto start = Clock::now();
    const SendOutcome outcome = SendRemote(session, request, log, observer);
    const auto took = Clock::now() - start;

    EXPECT_EQ(outcome.result, SendOutcome::Result::Sent) << outcome.error;
    EXPECT_EQ(outcome.sent, 1u);
    EXPECT_TRUE(observer.failures.empty());
    // 3GPP TS 23.040 §9.2.2.2 SMS-SUBMIT: SCA 00, first octet 11, TP-MR 00, TP-DA 0A 81
    // 3013325476 (national), TP-PID 00, TP-DCS 00, TP-VP A7, TP-UDL 06, "TL1=1;" in septets.
    EXPECT_EQ(Recorded("pdu"),
              std::vector<std::string>{"0011000A8130133254760000A7065466AC17DB01"});
    ASSERT_EQ(observer.replies.size(), 1u);
    EXPECT_EQ(observer.replies[0].text, "OK TL1");
    // A reply is deleted from the modem once it is logged (3GPP TS 27.005 §3.5.4 AT+CMGD).
    EXPECT_EQ(Recorded("deleted").size(), 1u);
    const std::string logged = testing::ReadAll(log.file());
    EXPECT_NE(logged.find(",sent,0331234567,TL1=1;,ok\r\n"), std::string::npos) << logged;
    EXPECT_NE(logged.find(",received,"), std::string::npos) << logged;
    EXPECT_NE(logged.find(",OK TL1,ok\r\n"), std::string::npos) << logged;
    // Each answer is read when it comes, not when a read's timeout runs out: the modem
    // answers at once, and a dozen commands with 10 s timeouts take well under one.
    EXPECT_LT(took, 5s);
}

// The port is on the system's list, and the scan reads the modem behind it (3GPP TS 27.007
// §5.1 +CGMI, §5.2 +CGMM, §8.3 +CPIN, §7.2 +CREG, §8.5 +CSQ: rssi 20 is -73 dBm).
TEST(ComLinkTest, FindsTheModemOnTheSystemsPortList) {
    const std::string linked = LinkedPort();
    const std::vector<std::string> ports = CandidatePorts();
    ASSERT_NE(std::find(ports.begin(), ports.end(), linked), ports.end())
        << "not listed under HARDWARE\\DEVICEMAP\\SERIALCOMM";
    const auto info = ProbeModem(linked, 5s);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->port, linked);
    EXPECT_EQ(info->vendor, "Tarvik");
    EXPECT_EQ(info->model, "Virtual GSM modem");
    EXPECT_EQ(info->sim, "ready");
    EXPECT_EQ(info->registration, "registered (home network)");
    EXPECT_NE(info->signal.find("-73 dBm"), std::string::npos) << info->signal;
}

TEST(ComLinkTest, ReadsWhatComesAtOnceAndWaitsOutSilence) {
    const std::string linked = LinkedPort();
    std::string error;
    {
        // An answer left unread in the port when its program closed it.
        const auto earlier = OpenSerialPort(linked, error);
        ASSERT_TRUE(earlier) << error;
        ASSERT_TRUE(earlier->write("AT\r"));
        std::this_thread::sleep_for(300ms);
    }
    const auto port = OpenSerialPort(linked, error);
    ASSERT_TRUE(port) << error;
    std::string got;
    // Opening drops it: it answers nothing of this session.
    auto start = Clock::now();
    EXPECT_EQ(port->read(got, 400ms), SerialPort::Status::Timeout) << got;
    EXPECT_GE(Clock::now() - start, 350ms);
    EXPECT_EQ(got, "");

    // Bytes pass unchanged (no echo of the line, no CR translation); the answer comes long
    // before the timeout.
    ASSERT_TRUE(port->write("AT\r")) << port->error();
    start = Clock::now();
    while (got.find("OK\r\n") == std::string::npos && Clock::now() - start < 5s) {
        if (port->read(got, 5s) == SerialPort::Status::Failed) {
            FAIL() << port->error();
        }
    }
    EXPECT_LT(Clock::now() - start, 2s);
    // The result, after the modem's own echo unless an earlier test turned it off with ATE0
    // (V.250 §6.2.4): CR and LF as the modem sent them.
    EXPECT_TRUE(got == "AT\r\r\nOK\r\n" || got == "\r\nOK\r\n") << got;
}

} // namespace
} // namespace tarvik::modem
