#include "modem/DeliverPdu.h"

#include "base/Hex.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

std::optional<ReceivedSms> Decode(const std::string& hex) {
    const auto bytes = FromHex(hex);
    EXPECT_TRUE(bytes) << hex;
    return DecodeDeliver(bytes.value_or(std::vector<std::uint8_t>{}));
}

// SMS-DELIVER PDUs put together by hand from 3GPP TS 23.040 9.2.2.1: SCA, first octet 04,
// TP-OA, TP-PID, TP-DCS, TP-SCTS 52 10 13 31 50 90 00 (2025-01-31 13:05:09), TP-UDL, TP-UD.
TEST(DeliverPduTest, DecodesEachAlphabet) {
    struct Case {
        std::string pdu;
        std::string from;
        std::string text;
    };
    const std::vector<Case> cases = {
        // 7-bit: "hello" is the septets 68 65 6C 6C 6F, packed E8 32 9B FD 06.
        {"07919333133254F6"
         "04"
         "0C91933313325476"
         "00"
         "00"
         "52101331509000"
         "05"
         "E8329BFD06",
         "+393331234567", "hello"},
        // 8-bit data, a national number.
        {"00"
         "04"
         "0A813013325476"
         "00"
         "04"
         "52101331509000"
         "02"
         "4869",
         "0331234567", "Hi"},
        // UCS2: 20AC is the euro sign.
        {"00"
         "04"
         "0A813013325476"
         "00"
         "08"
         "52101331509000"
         "04"
         "20AC0021",
         "0331234567", "\xE2\x82\xAC!"},
        // 7-bit with the extension table: 1B 3C is "[", then "1" (31): packed 1B 5E 0C.
        {"00"
         "04"
         "0A813013325476"
         "00"
         "00"
         "52101331509000"
         "03"
         "1B5E0C",
         "0331234567", "[1"},
    };
    for (const auto& c : cases) {
        const auto sms = Decode(c.pdu);
        ASSERT_TRUE(sms) << c.pdu;
        EXPECT_EQ(sms->from, c.from) << c.pdu;
        EXPECT_EQ(sms->text, c.text) << c.pdu;
        EXPECT_EQ(sms->time, "2025-01-31 13:05:09") << c.pdu;
    }
}

TEST(DeliverPduTest, RefusesOtherTypesAndReadsACutPduAsFarAsItGoes) {
    EXPECT_FALSE(Decode("0011000A813013325476"
                        "0000A7"
                        "02"
                        "C834")); // an SMS-SUBMIT
    EXPECT_FALSE(Decode("00"
                        "06"
                        "05"
                        "0A813013325476")); // a status report
    EXPECT_FALSE(Decode(""));
    const auto cut = Decode("00"
                            "04"
                            "0A813013325476"
                            "00"
                            "00");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->from, "0331234567");
    EXPECT_EQ(cut->text, "");
}

} // namespace
} // namespace tarvik::modem
