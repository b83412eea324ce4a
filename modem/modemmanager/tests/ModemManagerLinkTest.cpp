// The D-Bus side of ModemManagerLink against a fake ModemManager on a private bus: what it
// reads of the modems, the inhibition and its end, and the messaging interface.
#include "modem/modemmanager/ModemManagerLink.h"

#include "modem/modemmanager/tests/FakeModemManager.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tarvik::modem {
namespace {

using namespace std::chrono_literals;

constexpr const char* uid = "/sys/devices/virtual/tarvik/modem0";
constexpr const char* modemPath = "/org/freedesktop/ModemManager1/Modem/0";

class ModemManagerLinkTest : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("TARVIK_MODEMMANAGER_BUS"); }

    static void UseBus(const std::string& address) {
        ::setenv("TARVIK_MODEMMANAGER_BUS", address.c_str(), 1);
    }
};

TEST_F(ModemManagerLinkTest, FindsNoModemManagerWithoutABusOrOffIt) {
    testing::TemporaryFolder folder;
    UseBus("unix:path=" + folder.file("no-bus"));
    EXPECT_EQ(ConnectModemManager(), nullptr);

    const FakeModemManager absent("/dev/ttyUSB7", {"--absent"});
    UseBus(absent.address());
    EXPECT_EQ(ConnectModemManager(), nullptr);
}

TEST_F(ModemManagerLinkTest, ReadsTheModemsItManages) {
    const FakeModemManager fake("/dev/ttyUSB7");
    UseBus(fake.address());
    const auto link = ConnectModemManager();
    ASSERT_NE(link, nullptr);
    const auto modems = link->modems();
    ASSERT_EQ(modems.size(), 1u);
    const ManagedModem& modem = modems[0];
    EXPECT_EQ(modem.path, modemPath);
    EXPECT_EQ(modem.device, uid);
    EXPECT_EQ(modem.primaryPort, "ttyUSB7");
    EXPECT_EQ(modem.ports, std::vector<std::string>{"ttyUSB7"});
    EXPECT_EQ(modem.manufacturer + " " + modem.model, "Fake Managed GSM modem");
    EXPECT_EQ(modem.unlockRequired, 1u);
    EXPECT_EQ(modem.registration, 5u);
    EXPECT_EQ(modem.signalQuality, 67u);
    EXPECT_TRUE(modem.signalRecent);
}

TEST_F(ModemManagerLinkTest, HoldsTheModemUntilReleasedOrTheLinkGoes) {
    struct Case {
        std::string name;
        bool releaseFirst;
        std::vector<std::string> options;
        bool inhibited;
        std::vector<std::string> events;
    };
    const std::string inhibit = std::string("inhibit ") + uid;
    const std::string uninhibit = std::string("uninhibit ") + uid;
    const std::vector<Case> cases = {
        {"released", true, {}, true, {inhibit, uninhibit}},
        {"link gone", false, {}, true, {inhibit, uninhibit}},
        {"refused", false, {"--refuse-inhibit"}, false, {std::string("refused ") + uid}},
    };
    for (const auto& c : cases) {
        const FakeModemManager fake("/dev/ttyUSB7", c.options);
        UseBus(fake.address());
        {
            const auto link = ConnectModemManager();
            ASSERT_NE(link, nullptr) << c.name;
            const auto modems = link->modems();
            ASSERT_EQ(modems.size(), 1u) << c.name;
            std::string error;
            EXPECT_EQ(link->inhibit(modems[0], error), c.inhibited) << c.name;
            EXPECT_EQ(error, c.inhibited ? "" : "Not authorized to control the device") << c.name;
            // ModemManager shows no modem it let go of.
            EXPECT_EQ(link->modems().empty(), c.inhibited) << c.name;
            if (c.releaseFirst) {
                link->release();
            }
        }
        EXPECT_EQ(fake.events(), c.events) << c.name;
    }
}

TEST_F(ModemManagerLinkTest, SendsThroughMessagingAndSeesTheReplyAnnounced) {
    const FakeModemManager fake("/dev/ttyUSB7", {"--reply", "Hi back"});
    UseBus(fake.address());
    const auto link = ConnectModemManager();
    ASSERT_NE(link, nullptr);
    const ManagedModem modem = link->modems().at(0);
    std::string error;
    const auto sms = link->createSms(modem, "+393331234567", "TL0=1;", error);
    ASSERT_TRUE(sms) << error;
    ASSERT_TRUE(link->sendSms(*sms, 10s, error)) << error;
    EXPECT_EQ(link->readSms(*sms)->messageReference, 1u);
    EXPECT_TRUE(link->waitForMessage(10s));
    const auto messages = link->messages(modem);
    ASSERT_EQ(messages.size(), 2u);
    const auto reply = link->readSms(messages[1]);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->pduType, smsDeliver);
    EXPECT_EQ(reply->state, smsReceived);
    EXPECT_EQ(reply->number, "+393331234567");
    EXPECT_EQ(reply->text, "Hi back");
    EXPECT_EQ(reply->timestamp, "2025-01-31T13:05:09+01");
    EXPECT_TRUE(link->deleteSms(modem, messages[1], error)) << error;
    EXPECT_FALSE(link->deleteSms(modem, messages[1], error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(fake.events(),
              (std::vector<std::string>{"sent +393331234567 TL0=1;", "deleted " + messages[1]}));
    // Nothing else is announced.
    EXPECT_FALSE(link->waitForMessage(100ms));
}

} // namespace
} // namespace tarvik::modem
