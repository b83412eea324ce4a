// The final results that end a command with a failure, and the words given to their codes.
#include "modem/ErrorText.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tarvik::modem {
namespace {

// <err> of +CMS ERROR, 3GPP TS 27.005 §3.2.5: 0...127 are the RP causes of TS 24.011
// Annex E-2 (table 8.4), 300...500 the ME's own.
TEST(ErrorTextTest, NamesTheMessageServiceCodes) {
    const std::pair<int, const char*> cases[] = {
        {1, "unassigned number"},
        {8, "operator determined barring"},
        {10, "call barred"},
        {21, "short message transfer rejected"},
        {27, "destination out of order"},
        {38, "network out of order"},
        {42, "congestion"},
        {300, "ME failure"},
        {301, "SMS service of ME reserved"},
        {302, "operation not allowed"},
        {303, "operation not supported"},
        {304, "invalid PDU mode parameter"},
        {305, "invalid text mode parameter"},
        {310, "SIM not inserted"},
        {311, "SIM PIN required"},
        {312, "PH-SIM PIN required"},
        {313, "SIM failure"},
        {314, "SIM busy"},
        {315, "SIM wrong"},
        {316, "SIM PUK required"},
        {317, "SIM PIN2 required"},
        {318, "SIM PUK2 required"},
        {320, "memory failure"},
        {321, "invalid memory index"},
        {322, "memory full"},
        {330, "SMSC address unknown"},
        {331, "no network service"},
        {332, "network timeout"},
        {340, "no +CNMA acknowledgement expected"},
        {500, "unknown error"},
    };
    for (const auto& [code, words] : cases) {
        const std::string line = "+CMS ERROR: " + std::to_string(code);
        EXPECT_EQ(DescribeFailure(line), line + " (" + words + ")");
    }
}

// <err> of +CME ERROR, 3GPP TS 27.007 §9.2.1.
TEST(ErrorTextTest, NamesTheEquipmentCodes) {
    const std::pair<int, const char*> cases[] = {
        {0, "phone failure"},
        {1, "no connection to phone"},
        {2, "phone-adaptor link reserved"},
        {3, "operation not allowed"},
        {4, "operation not supported"},
        {5, "PH-SIM PIN required"},
        {10, "SIM not inserted"},
        {11, "SIM PIN required"},
        {12, "SIM PUK required"},
        {13, "SIM failure"},
        {14, "SIM busy"},
        {15, "SIM wrong"},
        {16, "incorrect password"},
        {17, "SIM PIN2 required"},
        {18, "SIM PUK2 required"},
        {20, "memory full"},
        {21, "invalid index"},
        {22, "not found"},
        {23, "memory failure"},
        {24, "text string too long"},
        {25, "invalid characters in text string"},
        {26, "dial string too long"},
        {27, "invalid characters in dial string"},
        {30, "no network service"},
        {31, "network timeout"},
        {32, "network not allowed - emergency calls only"},
        {100, "unknown"},
    };
    for (const auto& [code, words] : cases) {
        const std::string line = "+CME ERROR: " + std::to_string(code);
        EXPECT_EQ(DescribeFailure(line), line + " (" + words + ")");
    }
}

// Codes the tables do not hold, verbose results (AT+CMEE=2, 3GPP TS 27.007 §9.1) and
// malformed codes are shown as the modem sent them; lines that end no command in failure
// (V.250 §5.7.1 result codes, information lines) are no failure at all.
TEST(ErrorTextTest, ShowsOtherFailuresAsTheyCameAndTellsFailuresFromOtherLines) {
    struct Case {
        std::string line;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"ERROR", "ERROR"},
        {"NO CARRIER", "NO CARRIER"},
        {"+CMS ERROR: 999", "+CMS ERROR: 999"},
        {"+CMS ERROR: 0", "+CMS ERROR: 0"},
        {"+CME ERROR: 6", "+CME ERROR: 6"},
        {"+CME ERROR: 311", "+CME ERROR: 311"}, // a +CMS code is no +CME code
        {"+CMS ERROR: 16", "+CMS ERROR: 16"},   // and the other way round
        {"+CME ERROR: SIM PIN required", "+CME ERROR: SIM PIN required"},
        {"+CMS ERROR: 330x", "+CMS ERROR: 330x"},
        {"+CMS ERROR: -1", "+CMS ERROR: -1"},
        {"+CMS ERROR:", "+CMS ERROR:"},
        {"+CMS ERROR: 99999999999999999999", "+CMS ERROR: 99999999999999999999"},
        {"+CME ERROR:16", "+CME ERROR:16 (incorrect password)"},
        {"+CME ERROR: 16  ", "+CME ERROR: 16 (incorrect password)"},
        {"OK", std::nullopt},
        {"", std::nullopt},
        {"+CMGS: 7", std::nullopt},
        {"error", std::nullopt},
        {"ERRORS", std::nullopt},
        {" ERROR", std::nullopt},
        {"+CMS ERROR", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeFailure(c.line), c.expected) << '"' << c.line << '"';
    }
}

} // namespace
} // namespace tarvik::modem
