#include "modem/SubmitPdu.h"

#include "base/Hex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

// SMS-SUBMIT PDUs worked out by hand from 3GPP TS 23.040 9.2.2.2 and 23.038: SCA 00, first
// octet 11 (SUBMIT, TP-VPF relative), TP-MR 00, TP-DA (digits in swapped nibbles, F filler),
// TP-PID 00, TP-DCS 00 (7-bit) or 08 (UCS2), TP-VP A7 (24 hours), TP-UDL, TP-UD.
TEST(SubmitPduTest, EncodesTheBytesOf23040) {
    struct Case {
        std::string number;
        std::u16string text;
        std::string pdu;
        std::size_t tpduLength;
    };
    const std::vector<Case> cases = {
        // "$" 02, "@" 00, "_" 11, "€" 1B 65: five septets packed into 02 40 64 53 06.
        {"+393331234567", u"$@_\u20AC",
         "0011000C91933313325476"
         "0000A7"
         "05"
         "0240645306",
         19},
        // A national number is type 81; "TL1=1;" is 54 4C 31 3D 31 3B, packed 54 66 AC 17 DB 01.
        {"0331234567", u"TL1=1;",
         "0011000A813013325476"
         "0000A7"
         "06"
         "5466AC17DB01",
         19},
        // "00" makes the number international; an odd digit count ends with an F nibble.
        // "â" is outside the GSM alphabet, so the text goes in UCS2, two octets a character.
        {"0039333123456", u"T\u00E2",
         "0011000B919333133254F6"
         "0008A7"
         "04"
         "005400E2",
         18},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto to = ParseDestination(c.number, error);
        ASSERT_TRUE(to) << c.number << ": " << error;
        const SubmitPdu pdu = EncodeSubmit(*to, c.text);
        EXPECT_EQ(ToHex(pdu.bytes), c.pdu) << c.number;
        EXPECT_EQ(pdu.tpduLength, c.tpduLength) << c.number;
    }
}

TEST(SubmitPduTest, RefusesWhatIsNotATelephoneNumber) {
    const std::vector<std::string> refused = {
        "", "+", "00", "12a4", "+39-333", "+123456789012345678901", // 21 digits
    };
    for (const auto& number : refused) {
        std::string error;
        EXPECT_FALSE(ParseDestination(number, error)) << number;
        EXPECT_NE(error.find("not a telephone number"), std::string::npos) << number;
    }
    std::string error;
    const auto spaced = ParseDestination("+39 333 1234567", error);
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->digits, "393331234567");
    EXPECT_TRUE(spaced->international);
}

} // namespace
} // namespace tarvik::modem
