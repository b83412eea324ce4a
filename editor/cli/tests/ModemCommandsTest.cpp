// send-remote and modems against the virtual modem on a real pseudo-terminal. The messages
// the modem received are read by its own decoder of SMS-SUBMIT (3GPP TS 23.040 9.2.2.2).
#include "editor/cli/tests/CliRun.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "tools/gsmmodem/fixture/VirtualModem.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

using testing::ReadAll;
using testing::TemporaryFolder;

constexpr const char* device = "+393331234567";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// "TLn=" and 15 digits: with its ";", 20 characters.
std::string Entry(int n) {
    return "TL" + std::to_string(n) + "=123456789012345";
}

class ModemCommandsTest : public ::testing::Test {
protected:
    // The log goes to a folder of the test's own. Every step ends as soon as the modem
    // answers; the 20 s only bound a modem that never does, on a machine loaded by a parallel
    // build. A modem that stops answering is the unit tests' (modem/tests/RemoteSendTest).
    // No ModemManager: its bus is a socket that does not exist, never the machine's system bus.
    void SetUp() override {
        ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1);
        ::setenv("TARVIK_MODEM_TIMEOUT_MS", "20000", 1);
        ::setenv("TARVIK_MODEMMANAGER_BUS", ("unix:path=" + folder.file("no-bus")).c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("TARVIK_MODEM_TIMEOUT_MS");
        ::unsetenv("TARVIK_MODEMMANAGER_BUS");
    }

    // A program whose remote text is three messages: ";" and TL0 ... TL6 (141 characters),
    // TL7 ... TL9 and RED=5 (66), both 7-bit.
    std::string Program() {
        std::string plain = "SIM-04\r\nSIM-PRG\r\n";
        for (int n = 0; n < 10; ++n) {
            plain += Entry(n) + "\r\n";
        }
        plain += "RED=5\r\n";
        const std::string path = folder.file("prog.sim");
        WriteScrambled(path, plain);
        return path;
    }

    std::vector<std::string> Expected() const {
        std::string first = ";";
        for (int n = 0; n < 7; ++n) {
            first += Entry(n) + ";";
        }
        return {first, Entry(7) + ";" + Entry(8) + ";" + Entry(9) + ";RED=5;"};
    }

    CliRun Send(const gsmmodem::VirtualModem& modem, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"send-remote", Program(), "--port", modem.port(),
                                         "--to",        device,    "--wait", "0"};
        args.insert(args.end(), more.begin(), more.end());
        return RunWith(args);
    }

    static std::vector<std::string> Texts(const gsmmodem::VirtualModem& modem) {
        std::vector<std::string> texts;
        for (const auto& message : modem.messages()) {
            EXPECT_EQ(message.number, device);
            texts.push_back(message.text);
        }
        return texts;
    }

    // The log without its time column.
    std::string Log() const {
        const std::string log = ReadAll(folder.file("tarvik/messages.csv"));
        return std::regex_replace(log, std::regex("\n\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ,"),
                                  "\n*,");
    }

    TemporaryFolder folder;
};

TEST_F(ModemCommandsTest, SendsEveryMessageAndReadsLogsAndDeletesTheReplies) {
    // Unsolicited +CREG and RING lines come before every answer.
    gsmmodem::VirtualModem modem({"--reply", "OK, \"done\"", "--chatter"});
    const CliRun run = Send(modem, {"--wait", "10"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Texts(modem), Expected());
    EXPECT_EQ(run.out, "message 1 of 2 sent: 141 characters, reference 1\n"
                       "message 2 of 2 sent: 66 characters, reference 2\n"
                       "reply from +393331234567 (2025-01-31 13:05:09): OK, \"done\"\n"
                       "reply from +393331234567 (2025-01-31 13:05:09): OK, \"done\"\n");
    EXPECT_EQ(modem.deleted(), (std::vector<int>{1, 2}));
    const auto expected = Expected();
    // RFC 4180: the reply holds a comma and quotes, so it is quoted and its quotes doubled.
    EXPECT_EQ(Log(), "time,direction,number,text,result\r\n*,sent,+393331234567," + expected[0] +
                         ",ok\r\n*,sent,+393331234567," + expected[1] +
                         ",ok\r\n*,received,+393331234567,\"OK, \"\"done\"\"\",ok\r\n"
                         "*,received,+393331234567,\"OK, \"\"done\"\"\",ok\r\n");
}

TEST_F(ModemCommandsTest, ReadsRepliesAnnouncedWhileItWaits) {
    // The replies come after the last message: +CMTI, then AT+CMGR and AT+CMGD.
    gsmmodem::VirtualModem modem({"--reply", "OK", "--reply-after", "200"});
    const CliRun run = Send(modem, {"--wait", "10"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "reply from +393331234567 (2025-01-31 13:05:09): OK\n"))
        << run.out;
    EXPECT_EQ(modem.deleted(), (std::vector<int>{1, 2}));
}

TEST_F(ModemCommandsTest, GivesThePinWhenTheModemsSimAsksForIt) {
    struct Case {
        std::vector<std::string> options;
        int status;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{}, 7, "asks for its PIN, and none was given; nothing was sent"},
        {{"--pin", "0000"}, 7, "refused the PIN: +CME ERROR: 16 (incorrect password)"},
        {{"--pin", "1234"}, 0, ""},
    };
    for (const auto& c : cases) {
        gsmmodem::VirtualModem modem({"--pin", "1234"});
        const CliRun run = Send(modem, c.options);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
        EXPECT_EQ(modem.messages().size(), c.status == 0 ? 2u : 0u);
    }
}

TEST_F(ModemCommandsTest, StopsAtAFailedMessageAndResumesFromIt) {
    gsmmodem::VirtualModem failing({"--fail", "2"});
    const CliRun run = Send(failing);
    EXPECT_EQ(run.status, 7);
    EXPECT_EQ(run.out, "message 1 of 2 sent: 141 characters, reference 1\n");
    EXPECT_EQ(run.err, "tarvik-cli: message 2 of 2 was not sent: +CMS ERROR: 500 (unknown "
                       "error)\nMessages 1 to 1 were sent. '--from 2' sends the rest.\n");
    EXPECT_EQ(Texts(failing), std::vector<std::string>{Expected()[0]});
    EXPECT_TRUE(Contains(Log(), ",+CMS ERROR: 500 (unknown error)\r\n")) << Log();

    gsmmodem::VirtualModem modem;
    const CliRun rerun = Send(modem, {"--from", "2"});
    EXPECT_EQ(rerun.status, 0) << rerun.err;
    EXPECT_EQ(Texts(modem), std::vector<std::string>{Expected()[1]});
}

TEST_F(ModemCommandsTest, RefusesBadArgumentsBeforeTouchingTheModem) {
    const std::string program = Program();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{program, "--to", device}, 2, "--port is missing"},
        {{program, "--port", "/dev/null"}, 2, "--to is missing"},
        {{program, "--port", "/dev/null", "--to", "12a"}, 2, "'12a' is not a telephone number"},
        {{program, "--port", "/dev/null", "--to", device, "--from", "3"},
         2,
         "--from 3: the program makes 2 messages"},
        {{program, "--port", "/dev/null", "--to", device, "--wait", "x"},
         2,
         "--wait takes a whole number, not 'x'"},
        {{folder.file("missing.sim"), "--port", "/dev/null", "--to", device}, 2, "missing.sim"},
        {{program, "--port", folder.file("ttyNONE"), "--to", device},
         7,
         "ttyNONE: No such file or directory; nothing was sent"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"send-remote"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
    }
}

TEST_F(ModemCommandsTest, ModemsListsThePortsThatAnswer) {
    // The virtual modem: +CSQ 20 when registered (-73 dBm, 3GPP TS 27.007 §8.5), 99 (not
    // known) while searching; +CREG stat 1 or 2 (§7.2).
    struct Case {
        std::vector<std::string> options;
        std::string state;
    };
    const std::vector<Case> cases = {
        {{}, "SIM ready; registered (home network); signal excellent (-73 dBm)"},
        {{"--register-after", "600"}, "SIM ready; searching for a network; signal unknown"},
        {{"--pin", "1234"},
         "SIM asks for SIM PIN; registered (home network); signal excellent "
         "(-73 dBm)"},
    };
    for (const auto& c : cases) {
        gsmmodem::VirtualModem modem(c.options);
        ::setenv("TARVIK_MODEM_PORT", modem.port().c_str(), 1);
        const CliRun run = RunWith({"modems"});
        ::unsetenv("TARVIK_MODEM_PORT");
        EXPECT_EQ(run.status, 0);
        EXPECT_TRUE(
            Contains(run.out, modem.port() + ": Tarvik Virtual GSM modem; " + c.state + "\n"))
            << run.out;
    }
}

// Replies handed to the line (+CMT, 3GPP TS 27.005 §3.4.1) or stored, whole or in
// concatenated parts with an 8- or 16-bit reference (3GPP TS 23.040 §9.2.3.24): each is
// shown and logged whole, and what was stored is deleted once logged.
TEST_F(ModemCommandsTest, ReadsRepliesDeliveredToTheLineAndInParts) {
    struct Case {
        std::vector<std::string> options;
        std::vector<int> deleted;
    };
    const std::string text = "All entries written, the device restarts now";
    const std::vector<Case> cases = {
        {{"--deliver", "cmt"}, {}},
        {{"--deliver", "cmt", "--reply-parts", "2"}, {}},
        {{"--deliver", "cmti", "--reply-parts", "3", "--reply-reference", "16"},
         {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> options = {"--reply", text};
        options.insert(options.end(), c.options.begin(), c.options.end());
        gsmmodem::VirtualModem modem(options);
        const CliRun run = Send(modem, {"--wait", "20"});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string reply = "reply from +393331234567 (2025-01-31 13:05:09): " + text + "\n";
        EXPECT_TRUE(Contains(run.out, reply + reply)) << run.out;
        auto deleted = modem.deleted();
        std::sort(deleted.begin(), deleted.end());
        EXPECT_EQ(deleted, c.deleted);
        EXPECT_TRUE(Contains(Log(), "*,received,+393331234567,\"" + text + "\",ok\r\n*,received,"))
            << Log();
    }
}

// Status reports on the messages sent (3GPP TS 23.040 §9.2.2.3), handed to the line (+CDS)
// or stored and announced by index (+CDSI, 3GPP TS 27.005 §3.4.1): each is shown and logged,
// and what was stored is deleted once logged.
TEST_F(ModemCommandsTest, ReadsStatusReportsOnTheLineAndStored) {
    struct Case {
        std::string route;
        std::vector<int> deleted; // the replies' and, when stored, the reports'
    };
    const std::vector<Case> cases = {{"cds", {1, 2}}, {"cdsi", {1, 2, 3, 4}}};
    for (const auto& c : cases) {
        gsmmodem::VirtualModem modem({"--status-report", c.route, "--reply", "OK"});
        const CliRun run = Send(modem, {"--wait", "20"});
        EXPECT_EQ(run.status, 0) << run.err;
        for (const char* reference : {"1", "2"}) {
            EXPECT_TRUE(Contains(run.out, std::string("message reference ") + reference +
                                              " to +393331234567: delivered\n"))
                << c.route << "\n"
                << run.out;
            EXPECT_TRUE(Contains(Log(), std::string("*,received,+393331234567,status report on "
                                                    "message reference ") +
                                            reference + ": delivered,ok\r\n"))
                << c.route << "\n"
                << Log();
        }
        auto deleted = modem.deleted();
        std::sort(deleted.begin(), deleted.end());
        EXPECT_EQ(deleted, c.deleted) << c.route;
    }
}

// 3GPP TS 27.007 §7.2: nothing is sent while the modem searches (<stat> 2).
TEST_F(ModemCommandsTest, WaitsForTheModemToRegister) {
    {
        gsmmodem::VirtualModem modem({"--register-after", "2"});
        const CliRun run = Send(modem, {"--register-timeout", "60"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, "waiting for the network: searching for a network, signal "
                                      "unknown\nmessage 1 of 2 sent"))
            << run.out;
        EXPECT_EQ(Texts(modem), Expected());
    }
    {
        gsmmodem::VirtualModem modem({"--register-after", "600"});
        const CliRun run = Send(modem, {"--register-timeout", "1"});
        EXPECT_EQ(run.status, 7);
        EXPECT_TRUE(Contains(run.err, ": the modem is not on the network after 1 s: searching "
                                      "for a network, signal unknown; nothing was sent"))
            << run.err;
        EXPECT_TRUE(modem.messages().empty());
    }
}

} // namespace
} // namespace tarvik::cli
