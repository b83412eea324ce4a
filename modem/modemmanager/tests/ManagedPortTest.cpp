// Which of ModemManager's modems a serial port belongs to, and what its properties say in
// the words of `modems`.
#include "modem/modemmanager/ManagedPort.h"

#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tarvik::modem {
namespace {

TEST(ManagedPortTest, NamesAPortAsTheKernelDoesBelowDev) {
    testing::TemporaryFolder folder;
    // A link as udev makes them in /dev/serial/by-id, to a device that exists everywhere.
    const auto link = folder.path() / "usb-Modem-if02-port0";
    std::filesystem::create_symlink("/dev/null", link);
    struct Case {
        std::string name;
        std::filesystem::path path;
        bool same;
    };
    const std::vector<Case> cases = {
        {"ttyUSB2", "/dev/ttyUSB2", true},
        {"ttyUSB2", "/dev/ttyUSB20", false},
        {"ttyUSB20", "/dev/ttyUSB2", false},
        {"pts/3", "/dev/pts/3", true},
        {"3", "/dev/pts/3", false},
        {"ttyACM0", "/dev/../dev/ttyACM0", true},
        {"null", link, true},
        {"usb-Modem-if02-port0", link, false},
        {"", "/dev/ttyUSB2", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsPortNamed(c.name, c.path), c.same) << c.name << " " << c.path;
    }
}

TEST(ManagedPortTest, FindsTheModemByItsPrimaryPortOrAnyOther) {
    const auto modem = [](std::string path, std::string primary, std::vector<std::string> ports) {
        ManagedModem m;
        m.path = std::move(path);
        m.primaryPort = std::move(primary);
        m.ports = std::move(ports);
        return m;
    };
    const std::vector<ManagedModem> modems = {
        modem("/Modem/0", "ttyUSB2", {"cdc-wdm0", "ttyUSB2"}),
        modem("/Modem/1", "cdc-wdm1", {"cdc-wdm1", "ttyUSB5"}),
    };
    struct Case {
        std::string port;
        std::string modem; // empty: none
    };
    const std::vector<Case> cases = {
        {"/dev/ttyUSB2", "/Modem/0"},
        {"/dev/ttyUSB5", "/Modem/1"},
        {"/dev/ttyUSB3", ""},
    };
    for (const auto& c : cases) {
        const auto found = ModemOnPort(modems, c.port);
        EXPECT_EQ(found ? found->path : "", c.modem) << c.port;
    }
}

// ModemManager's MMModemLock and MMModem3gppRegistrationState; the latter's 0 to 8 are the
// <stat> values of +CREG (3GPP TS 27.007 §7.2).
TEST(ManagedPortTest, DescribesTheModemInTheWordsOfAModemAskedByAt) {
    struct Case {
        std::uint32_t lock;
        std::optional<std::uint32_t> registration;
        bool recent;
        std::string sim;
        std::string registered;
        std::string signal;
    };
    const std::vector<Case> cases = {
        {1, 1, true, "ready", "registered (home network)", "67 %"},
        {2, 2, true, "asks for SIM PIN", "searching for a network", "67 %"},
        {4, 5, true, "asks for SIM PUK", "registered (roaming)", "67 %"},
        {0, 10, false, "unknown", "registered (roaming)", "unknown"},
        {1, std::nullopt, true, "ready", "registration unknown", "67 %"},
    };
    for (const auto& c : cases) {
        ManagedModem modem;
        modem.unlockRequired = c.lock;
        modem.registration = c.registration;
        modem.signalQuality = 67;
        modem.signalRecent = c.recent;
        const ModemInfo info = DescribeManaged(modem, "/dev/ttyUSB2");
        EXPECT_EQ(info.sim, c.sim);
        EXPECT_EQ(info.registration, c.registered);
        EXPECT_EQ(info.signal, c.signal);
        EXPECT_EQ(info.holder, "ModemManager");
    }
}

TEST(ManagedPortTest, ShowsTheTimeOfAReplyWithoutItsZone) {
    struct Case {
        std::string stamp;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"2025-01-31T13:05:09+01", "2025-01-31 13:05:09"},
        {"2025-01-31T13:05:09Z", "2025-01-31 13:05:09"},
        {"2025-01-31T13:05:09", "2025-01-31 13:05:09"},
        {"250131130509", "250131130509"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SmsTime(c.stamp), c.shown) << c.stamp;
    }
}

} // namespace
} // namespace tarvik::modem
