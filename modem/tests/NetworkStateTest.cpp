#include "modem/NetworkState.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

// 3GPP TS 27.007 §7.2 (+CREG) and §10.1.22 (+CEREG): the read command answers
// "<n>,<stat>[,<lac>,<ci>[,<AcT>]]", the unsolicited code "<stat>[,<lac>,<ci>...]".
TEST(NetworkStateTest, ReadsTheRegistrationState) {
    struct Case {
        std::string line;
        std::optional<Registration> stat;
        bool registered;
    };
    const std::vector<Case> cases = {
        {"+CREG: 0,1", Registration::Home, true},
        {"+CREG: 2,5,\"1A2B\",\"00C3D4\",7", Registration::Roaming, true},
        {"+CREG: 0,2", Registration::Searching, false},
        {"+CREG: 0,3", Registration::Denied, false},
        {"+CREG: 0,0", Registration::NotSearching, false},
        {"+CREG: 0,4", Registration::Unknown, false},
        {"+CEREG: 0,6", Registration::HomeSmsOnly, true},
        {"+CEREG: 1,7", Registration::RoamingSmsOnly, true},
        {"+CEREG: 0,8", Registration::EmergencyOnly, false},
        {"+CREG: 1", Registration::Home, true},                           // unsolicited
        {"+CREG: 2,\"1A2B\",\"00C3D4\"", Registration::Searching, false}, // unsolicited
        {"+CREG: 0,11", std::nullopt, false},
        {"+CREG: x", std::nullopt, false},
        {"+CSQ: 20,99", std::nullopt, false},
    };
    for (const auto& c : cases) {
        const auto stat = ParseRegistration(c.line);
        EXPECT_EQ(stat, c.stat) << c.line;
        if (stat) {
            EXPECT_EQ(IsRegistered(*stat), c.registered) << c.line;
        }
    }
}

TEST(NetworkStateTest, DescribesTheStateInWords) {
    EXPECT_EQ(Describe(Registration::Searching), "searching for a network");
    EXPECT_EQ(Describe(Registration::Denied), "registration denied by the network");
    EXPECT_EQ(Describe(Registration::Roaming), "registered (roaming)");
}

// 3GPP TS 27.007 §8.5: rssi 0 is -113 dBm or less, 1 is -111, 2 to 30 are -109 to -53 dBm,
// 31 is -51 dBm or more, 99 is not known.
TEST(NetworkStateTest, TellsTheSignalInWordsAndDbm) {
    struct Case {
        std::string line;
        std::optional<int> rssi;
        std::string words;
    };
    const std::vector<Case> cases = {
        {"+CSQ: 0,99", 0, "no signal (-113 dBm or less)"},
        {"+CSQ: 1,0", 1, "weak (-111 dBm)"},
        {"+CSQ: 9,99", 9, "weak (-95 dBm)"},
        {"+CSQ: 10,99", 10, "fair (-93 dBm)"},
        {"+CSQ: 15,99", 15, "good (-83 dBm)"},
        {"+CSQ: 30,99", 30, "excellent (-53 dBm)"},
        {"+CSQ: 31,99", 31, "excellent (-51 dBm or more)"},
        {"+CSQ: 99,99", 99, "unknown"},
        {"+CREG: 0,1", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const auto rssi = ParseSignal(c.line);
        EXPECT_EQ(rssi, c.rssi) << c.line;
        if (rssi) {
            EXPECT_EQ(DescribeSignal(*rssi), c.words) << c.line;
        }
    }
}

} // namespace
} // namespace tarvik::modem
