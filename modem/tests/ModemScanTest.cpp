// The modem scan over scripted ports handed out by a fake opener: no serial port of the
// machine is touched.
#include "modem/ModemScan.h"

#include "modem/tests/FakePort.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

std::string Line(const std::string& text) {
    return "\r\n" + text + "\r\n";
}

// Hands the scan a port the test keeps, so that what the scan wrote can be looked at.
class BorrowedPort final : public SerialPort {
public:
    explicit BorrowedPort(FakePort& port) : port_(port) {}
    bool write(std::string_view bytes) override { return port_.write(bytes); }
    Status read(std::string& into, std::chrono::milliseconds timeout) override {
        return port_.read(into, timeout);
    }
    std::string error() const override { return port_.error(); }

private:
    FakePort& port_;
};

// The machine's ports as the scan finds them: a scripted port per path, or the reason why
// the path does not open.
struct FakePorts {
    std::map<std::string, FakePort> ports;
    std::map<std::string, std::string> refusals;
    std::vector<std::string> opened;

    PortOpener opener() {
        return [this](const std::string& path, std::string& error) -> std::unique_ptr<SerialPort> {
            opened.push_back(path);
            if (const auto refusal = refusals.find(path); refusal != refusals.end()) {
                error = path + ": " + refusal->second;
                return nullptr;
            }
            return std::make_unique<BorrowedPort>(ports.at(path));
        };
    }
};

// 3GPP TS 27.007: +CGMI/+CGMM (§5.1, §5.2) give the text alone, though many modems put
// the command's name before it; +CPIN? (§8.3), +CREG? (§7.2), +CSQ (§8.5, rssi 20 is
// -73 dBm). A modem that knows none of them still answers AT (V.250 §5.7.1).
FakePort FullModem(bool prefixed) {
    FakePort port;
    port.answers["AT\r"] = Line("OK");
    port.answers["AT+CGMI\r"] =
        Line(prefixed ? "+CGMI: Example Modems" : "Example Modems") + Line("OK");
    port.answers["AT+CGMM\r"] = Line(prefixed ? "+CGMM: EM-1" : "EM-1") + Line("OK");
    port.answers["AT+CPIN?\r"] = Line("+CPIN: SIM PIN") + Line("OK");
    port.answers["AT+CREG?\r"] = Line("+CREG: 0,5") + Line("OK");
    port.answers["AT+CEREG?\r"] = Line("ERROR");
    port.answers["AT+CSQ\r"] = Line("+CSQ: 20,99") + Line("OK");
    return port;
}

FakePort MinimalModem() {
    FakePort port;
    port.answers["AT\r"] = Line("OK");
    for (const char* command :
         {"AT+CGMI\r", "AT+CGMM\r", "AT+CPIN?\r", "AT+CREG?\r", "AT+CEREG?\r", "AT+CSQ\r"}) {
        port.answers[command] = Line("ERROR");
    }
    return port;
}

TEST(ModemScanTest, DescribesWhatAnsweringModemsTell) {
    struct Case {
        const char* name;
        FakePort port;
        ModemInfo expected;
    };
    FakePort noSim = MinimalModem();
    noSim.answers["AT+CPIN?\r"] = Line("+CME ERROR: 10"); // SIM not inserted
    Case cases[] = {
        {"prefixed answers",
         FullModem(true),
         {"/dev/ttyUSB0", "Example Modems", "EM-1", "asks for SIM PIN", "registered (roaming)",
          "excellent (-73 dBm)", ""}},
        {"bare answers",
         FullModem(false),
         {"/dev/ttyUSB0", "Example Modems", "EM-1", "asks for SIM PIN", "registered (roaming)",
          "excellent (-73 dBm)", ""}},
        {"knows only AT",
         MinimalModem(),
         {"/dev/ttyUSB0", "", "", "unknown", "registration unknown", "unknown", ""}},
        {"no SIM",
         noSim,
         {"/dev/ttyUSB0", "", "", "no SIM", "registration unknown", "unknown", ""}},
    };
    for (auto& c : cases) {
        FakePorts machine;
        machine.ports.emplace("/dev/ttyUSB0", std::move(c.port));
        const auto info = ProbeModem("/dev/ttyUSB0", 10s, machine.opener());
        ASSERT_TRUE(info) << c.name;
        EXPECT_EQ(info->port, c.expected.port) << c.name;
        EXPECT_EQ(info->vendor, c.expected.vendor) << c.name;
        EXPECT_EQ(info->model, c.expected.model) << c.name;
        EXPECT_EQ(info->sim, c.expected.sim) << c.name;
        EXPECT_EQ(info->registration, c.expected.registration) << c.name;
        EXPECT_EQ(info->signal, c.expected.signal) << c.name;
        EXPECT_EQ(info->holder, "") << c.name; // asked by AT: nobody else holds it
    }
}

// Ports that are no modem cost the scan at most one wait each, and are left out.
TEST(ModemScanTest, ListsOnlyThePortsThatAnswerInTheirOrder) {
    FakePorts machine;
    machine.ports.emplace("/dev/ttyACM0", FullModem(true));
    machine.ports.emplace("/dev/ttyACM1", FakePort()); // silent: a serial line to nothing
    FakePort hungUp;
    hungUp.hungUp = true; // the device went away between the listing and the open
    machine.ports.emplace("/dev/ttyUSB0", std::move(hungUp));
    FakePort refusing;
    refusing.answers["AT\r"] = Line("ERROR");
    machine.ports.emplace("/dev/ttyUSB1", std::move(refusing));
    machine.refusals["/dev/ttyUSB2"] = "Device or resource busy"; // held open exclusively
    machine.ports.emplace("/dev/ttyUSB3", MinimalModem());

    const std::vector<std::string> ports = {"/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyUSB0",
                                            "/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB3"};
    const auto modems = ScanModems(ports, 100ms, machine.opener());
    std::vector<std::string> found;
    for (const auto& modem : modems) {
        found.push_back(modem.port);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyUSB3"}));
    EXPECT_EQ(machine.opened, ports);
    // What is no modem is asked for AT once, and nothing more.
    for (const char* path : {"/dev/ttyACM1", "/dev/ttyUSB1"}) {
        EXPECT_EQ(machine.ports.at(path).written, "AT\r") << path;
    }
}

TEST(ModemScanTest, OrdersPortsAsPeopleCountThem) {
    struct Case {
        std::vector<std::string> ports;
        std::vector<std::string> ordered;
    };
    const Case cases[] = {
        {{"COM10", "COM2", "COM1", "COM2"}, {"COM1", "COM2", "COM10"}},
        {{"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyACM0"},
         {"/dev/ttyACM0", "/dev/ttyUSB2", "/dev/ttyUSB10"}},
        {{"COM3", "/dev/pts/7", "COM03"}, {"/dev/pts/7", "COM03", "COM3"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OrderedPorts(c.ports), c.ordered) << ::testing::PrintToString(c.ports);
    }
}

} // namespace
} // namespace tarvik::modem
