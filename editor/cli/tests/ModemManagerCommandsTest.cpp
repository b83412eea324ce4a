// send-remote and modems when ModemManager manages the modem: a fake ModemManager on a
// private bus holds the virtual modem's pseudo-terminal.
#include "editor/cli/tests/CliRun.h"
#include "modem/modemmanager/tests/FakeModemManager.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"
#include "tools/gsmmodem/fixture/VirtualModem.h"
#include "tools/simcard/fixture/ChildProcess.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using modem::FakeModemManager;
using testing::ReadAll;
using testing::TemporaryFolder;

constexpr const char* device = "+393331234567";
constexpr const char* inhibit = "inhibit /sys/devices/virtual/tarvik/modem0";
constexpr const char* uninhibit = "uninhibit /sys/devices/virtual/tarvik/modem0";
// The program's one message.
constexpr const char* message = ";TL0=123456789012345;RED=5;";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ModemManagerCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
        ::setenv("TARVIK_MODEM_TIMEOUT_MS", "20000", 1);
        WriteScrambled(program, "SIM-04\r\nSIM-PRG\r\nTL0=123456789012345\r\nRED=5\r\n");
    }
    void TearDown() override {
        for (const char* name : {"XDG_DATA_HOME", "TARVIK_MODEM_TIMEOUT_MS",
                                 "TARVIK_MODEMMANAGER_BUS", "TARVIK_MODEM_PORT"}) {
            ::unsetenv(name);
        }
    }

    static void UseBus(const FakeModemManager& fake) {
        ::setenv("TARVIK_MODEMMANAGER_BUS", fake.address().c_str(), 1);
    }

    std::vector<std::string> SendArgs(const gsmmodem::VirtualModem& modem,
                                      const std::string& wait) const {
        return {"send-remote", program, "--port", modem.port(), "--to", device, "--wait", wait};
    }

    TemporaryFolder folder;
    const std::string program = folder.file("prog.sim");
};

TEST_F(ModemManagerCommandsTest, SendsOverAtWhileModemManagerLetsGoOfTheModem) {
    gsmmodem::VirtualModem modem({"--reply", "OK"});
    const FakeModemManager fake(modem.port());
    UseBus(fake);
    const CliRun run = RunWith(SendArgs(modem, "10"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ModemManager lets go of the modem while the messages go\n"
                       "message 1 of 1 sent: 27 characters, reference 1\n"
                       "reply from +393331234567 (2025-01-31 13:05:09): OK\n");
    ASSERT_EQ(modem.messages().size(), 1u);
    EXPECT_EQ(modem.messages()[0].text, message);
    EXPECT_EQ(fake.events(), (std::vector<std::string>{inhibit, uninhibit}));
}

TEST_F(ModemManagerCommandsTest, SendsThroughModemManagerWhenItWillNotLetGo) {
    gsmmodem::VirtualModem modem;
    const FakeModemManager fake(modem.port(), {"--refuse-inhibit", "--reply", "OK, done"});
    UseBus(fake);
    const CliRun run = RunWith(SendArgs(modem, "10"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "ModemManager holds the modem and would not let go of it (Not authorized "
                       "to control the device); sending through ModemManager\n"
                       "message 1 of 1 sent: 27 characters, reference 1\n"
                       "reply from +393331234567 (2025-01-31 13:05:09): OK, done\n");
    EXPECT_TRUE(modem.messages().empty());
    // The message sent and the reply, each deleted from the modem once logged.
    EXPECT_EQ(fake.events(),
              (std::vector<std::string>{"refused /sys/devices/virtual/tarvik/modem0",
                                        std::string("sent +393331234567 ") + message,
                                        "deleted /org/freedesktop/ModemManager1/SMS/1",
                                        "deleted /org/freedesktop/ModemManager1/SMS/2"}));
    const std::string log = ReadAll(folder.file("tarvik/messages.csv"));
    EXPECT_TRUE(Contains(log, std::string(",sent,+393331234567,") + message + ",ok\r\n")) << log;
    EXPECT_TRUE(Contains(log, ",received,+393331234567,\"OK, done\",ok\r\n")) << log;
}

TEST_F(ModemManagerCommandsTest, ModemsNamesModemManagerAsThePortsHolder) {
    gsmmodem::VirtualModem modem;
    const FakeModemManager fake(modem.port());
    UseBus(fake);
    ::setenv("TARVIK_MODEM_PORT", modem.port().c_str(), 1);
    const CliRun run = RunWith({"modems"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.out, modem.port() +
                                      ": Fake Managed GSM modem; SIM ready; registered (roaming); "
                                      "signal 67 %; held by ModemManager\n"))
        << run.out;
}

// Ctrl+C while send-remote waits for replies: the first stops the wait and hands the modem
// back; a second at once ends the process, and the bus hands the modem back as the
// connection drops.
TEST_F(ModemManagerCommandsTest, CtrlCHandsTheModemBack) {
    struct Case {
        int interrupts;
        std::vector<std::string> ends; // either of these ends the inhibition
    };
    const std::vector<Case> cases = {
        {1, {uninhibit}},
        {2, {uninhibit, "released /sys/devices/virtual/tarvik/modem0"}},
    };
    for (const auto& c : cases) {
        gsmmodem::VirtualModem modem({"--reply", "OK", "--reply-after", "600000"});
        const FakeModemManager fake(modem.port());
        UseBus(fake);
        std::vector<std::string> argv = SendArgs(modem, "600");
        argv.insert(argv.begin(), TARVIK_CLI_PATH);
        const std::string output = folder.file("cli-output");
        testing::WriteAll(output, "");
        simcard::ChildProcess cli(argv, output, simcard::ChildProcess::Lifetime::DiesWithParent);
        ASSERT_TRUE(testing::WaitUntil([&] {
            return Contains(ReadAll(output), "message 1 of 1 sent");
        })) << ReadAll(output);
        for (int i = 0; i < c.interrupts; ++i) {
            ::kill(cli.pid(), SIGINT);
        }
        ASSERT_TRUE(testing::WaitUntil([&] { return !cli.running(); })) << ReadAll(output);
        EXPECT_EQ(cli.exitStatus(), 0) << ReadAll(output);
        std::vector<std::string> events;
        ASSERT_TRUE(testing::WaitUntil([&] { return (events = fake.events()).size() >= 2; }));
        EXPECT_EQ(events[0], inhibit);
        EXPECT_NE(std::find(c.ends.begin(), c.ends.end(), events[1]), c.ends.end()) << events[1];
    }
}

} // namespace
} // namespace tarvik::cli
