// SMS TPDUs against bytes laid out by hand from 3GPP TS 23.040 §9.2.2 (the TPDU layouts),
// §9.1.2.5 (address fields), §9.2.3.11 (time stamps), §9.2.3.24 (user-data header) and
// TS 23.038 §4 (data coding) and §6.1.2.1.1 (septet packing).
#include "gsm/Tpdu.h"

#include "base/Hex.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view hex) {
    return tarvik::FromHex(hex, tarvik::HexSpacing::Spaced).value();
}

std::string HexOf(const Bytes& bytes) {
    return tarvik::ToHex(bytes, tarvik::HexSpacing::Spaced);
}

// "hellohello" packed (TS 23.038 §6.1.2.1.1): ten septets in nine octets.
constexpr std::string_view kHelloPacked = "E8 32 9B FD 46 97 D9 EC 37";

TEST(Tpdu, ReadsDeliverAndSubmit) {
    struct Case {
        const char* name;
        std::string hex;
        TpduType type;
        std::u16string address;
        Alphabet alphabet;
        std::u16string text;
        TimeStamp time;
        std::optional<MessagePart> part;
    };
    const TimeStamp sent{2025, 1, 31, 13, 5, 9};
    const Case cases[] = {
        // §9.2.2.2: first octet (TP-VPF relative), TP-MR, TP-DA, TP-PID, TP-DCS, TP-VP, TP-UDL.
        {"submit",
         "11 00 0B 91 64 07 28 15 53 F8 00 00 AA 0A " + std::string(kHelloPacked),
         TpduType::Submit,
         u"+46708251358",
         Alphabet::SevenBit,
         u"hellohello",
         {},
         {}},
        // §9.2.2.1: first octet, TP-OA, TP-PID, TP-DCS, TP-SCTS, TP-UDL.
        {"deliver",
         "04 0B 91 64 07 28 15 53 F8 00 00 52 10 13 31 50 90 00 0A " + std::string(kHelloPacked),
         TpduType::Deliver,
         u"+46708251358",
         Alphabet::SevenBit,
         u"hellohello",
         sent,
         {}},
        {"deliver in UCS2",
         "04 04 81 21 43 00 08 52 10 13 31 50 90 00 04 00 48 04 10",
         TpduType::Deliver,
         u"1234",
         Alphabet::Ucs2,
         u"H\u0410",
         sent,
         {}},
        // §9.1.2.5: an alphanumeric address (TON 101) is 7-bit text; "ABC" in six semi-octets.
        {"alphanumeric sender",
         "04 06 D0 41 E1 10 00 04 52 10 13 31 50 90 00 02 48 69",
         TpduType::Deliver,
         u"ABC",
         Alphabet::EightBit,
         u"Hi",
         sent,
         {}},
        // §9.2.3.24: a six-byte header takes seven septets, fill bit included; the text
        // starts at septet 7 ("H" at bit 49, "i" at bit 56).
        {"concatenated part",
         "44 04 81 21 43 00 00 52 10 13 31 50 90 00 09 05 00 03 2A 02 01 90 69", TpduType::Deliver,
         u"1234", Alphabet::SevenBit, u"Hi", sent, MessagePart{0x2A, 2, 1}},
        // §9.2.3.24.1: a part number above the total makes the element void.
        {"void part number", "44 04 81 21 43 00 00 52 10 13 31 50 90 00 09 05 00 03 2A 02 03 90 69",
         TpduType::Deliver, u"1234", Alphabet::SevenBit, u"Hi", sent, std::nullopt},
        // §9.2.3.24.8: the element with a 16-bit reference.
        {"16-bit reference",
         "44 04 81 21 43 00 08 52 10 13 31 50 90 00 09 06 08 04 01 02 03 03 00 48",
         TpduType::Deliver, u"1234", Alphabet::Ucs2, u"H", sent, MessagePart{0x0102, 3, 3}},
        // Years 96 ... 99 are of the last century.
        {"last century",
         "04 00 81 00 00 99 20 21 50 75 03 00 00",
         TpduType::Deliver,
         u"",
         Alphabet::SevenBit,
         u"",
         {1999, 2, 12, 5, 57, 30},
         {}},
        // Cut inside TP-OA: what is there reads, the rest as absent.
        {"cut short", "04 0B 91 64", TpduType::Deliver, u"+46", Alphabet::SevenBit, u"", {}, {}},
        {"status report",
         "06 2A 0B 91 64 07 28 15 53 F8",
         TpduType::StatusReport,
         u"",
         Alphabet::None,
         u"",
         {},
         {}},
    };
    for (const Case& c : cases) {
        const ShortMessageTpdu tpdu = ParseTpdu(BytesOf(c.hex));
        EXPECT_EQ(tpdu.type, c.type) << c.name;
        EXPECT_EQ(tpdu.address, c.address) << c.name;
        EXPECT_EQ(tpdu.alphabet, c.alphabet) << c.name;
        EXPECT_EQ(tpdu.text, c.text) << c.name;
        EXPECT_EQ(tpdu.serviceCentreTime, c.time) << c.name;
        EXPECT_EQ(tpdu.part, c.part) << c.name;
    }
}

// TS 23.038 §4: the alphabet of each data coding group.
TEST(Tpdu, DataCodingSchemesNameTheirAlphabet) {
    const std::pair<std::uint8_t, Alphabet> cases[] = {
        {0x00, Alphabet::SevenBit}, {0x04, Alphabet::EightBit}, {0x08, Alphabet::Ucs2},
        {0x0C, Alphabet::None},     {0x11, Alphabet::SevenBit}, {0x20, Alphabet::None},
        {0x48, Alphabet::Ucs2},     {0x80, Alphabet::SevenBit}, {0xC8, Alphabet::SevenBit},
        {0xE0, Alphabet::Ucs2},     {0xF0, Alphabet::SevenBit}, {0xF4, Alphabet::EightBit},
    };
    for (const auto& [dcs, alphabet] : cases) {
        EXPECT_EQ(AlphabetOf(dcs), alphabet) << int{dcs};
    }
}

// §9.2.2.3: first octet, TP-MR, TP-RA, TP-SCTS, TP-DT, TP-ST.
TEST(Tpdu, ReadsStatusReports) {
    const std::string times = " 52 10 13 31 50 90 00 52 10 13 31 51 00 00";
    struct Case {
        std::string hex;
        std::optional<int> reference;
        std::u16string recipient;
        int status;
    };
    const Case cases[] = {
        {"06 2A 0B 91 64 07 28 15 53 F8" + times + " 00", 0x2A, u"+46708251358", 0x00},
        {"06 07 04 81 21 43" + times + " 41", 0x07, u"1234", 0x41},
        {"06 07 04 81 21 43" + times, std::nullopt, u"", 0},         // cut before TP-ST
        {"04 07 04 81 21 43" + times + " 00", std::nullopt, u"", 0}, // an SMS-DELIVER
        {"06 07", std::nullopt, u"", 0},
    };
    for (const Case& c : cases) {
        const auto report = ParseStatusReport(BytesOf(c.hex));
        ASSERT_EQ(report.has_value(), c.reference.has_value()) << c.hex;
        if (report) {
            EXPECT_EQ(report->reference, *c.reference) << c.hex;
            EXPECT_EQ(report->recipient, c.recipient) << c.hex;
            EXPECT_EQ(report->status, c.status) << c.hex;
        }
    }
}

TEST(Tpdu, WritesTheFieldsBeforeTheUserData) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::string_view hex;
    };
    const Case cases[] = {
        {"submit, relative validity",
         EncodeSubmitHead({.destination = u"+46708251358", .validity = 0xAA}),
         "11 00 0B 91 64 07 28 15 53 F8 00 00 AA"},
        {"submit, status report, no validity",
         EncodeSubmitHead({.reference = 4,
                           .destination = u"1234",
                           .dataCoding = 0x08,
                           .statusReport = true,
                           .validity = std::nullopt}),
         "21 04 04 81 21 43 00 08"},
        // Digits past the twentieth do not fit TP-DA.
        {"submit, long number",
         EncodeSubmitHead({.destination = u"+1234567890123456789012", .validity = std::nullopt}),
         "01 00 14 91 21 43 65 87 09 21 43 65 87 09 00 00"},
        {"deliver with header",
         EncodeDeliverHead({.originator = u"1234",
                            .serviceCentreTime = {2025, 1, 31, 13, 5, 9},
                            .moreMessages = false,
                            .userDataHeader = true}),
         "44 04 81 21 43 00 00 52 10 13 31 50 90 00"},
        {"deliver, odd digit count",
         EncodeDeliverHead({.originator = u"+123",
                            .dataCoding = 0x04,
                            .serviceCentreTime = {1999, 12, 31, 23, 59, 58}}),
         "00 03 91 21 F3 00 04 99 21 13 32 95 85 00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexOf(c.bytes), c.hex) << c.name;
    }
}

TEST(Tpdu, WritesUserDataCutToWhatFits) {
    struct Case {
        const char* name;
        std::u16string text;
        Alphabet alphabet;
        std::size_t maxOctets;
        std::string_view hex;
    };
    const Case cases[] = {
        {"7-bit", u"hellohello", Alphabet::SevenBit, 140, "0A E8 32 9B FD 46 97 D9 EC 37"},
        // Three octets hold three septets: the euro sign (1B 65) would need a fourth.
        {"extension character kept whole", u"ab\u20AC", Alphabet::SevenBit, 3, "02 61 31"},
        {"extension character", u"\u20AC", Alphabet::SevenBit, 140, "02 9B 32"},
        {"8-bit", u"H\u00E9", Alphabet::EightBit, 140, "02 48 E9"},
        {"UCS2 cut to whole characters", u"H\u0410!", Alphabet::Ucs2, 5, "04 00 48 04 10"},
        {"at most 140 octets", std::u16string(200, u'\u0410'), Alphabet::Ucs2, 1000, ""},
    };
    for (const Case& c : cases) {
        Bytes out;
        AppendUserText(out, c.text, c.alphabet, c.maxOctets);
        if (c.hex.empty()) {
            ASSERT_EQ(out.size(), 141u) << c.name;
            EXPECT_EQ(out[0], 140) << c.name;
        } else {
            EXPECT_EQ(HexOf(out), c.hex) << c.name;
        }
    }
}

// §9.2.3.24: after a header, 7-bit text starts on a septet boundary, the fill bits zero;
// TP-UDL counts septets for 7-bit and octets otherwise, the header included.
TEST(Tpdu, WritesUserDataAfterAHeader) {
    const Bytes header = BytesOf("05 00 03 2A 02 01");
    Bytes septets;
    AppendSeptetUserData(septets, header, Bytes{0x48, 0x69});
    EXPECT_EQ(HexOf(septets), "09 05 00 03 2A 02 01 90 69");
    Bytes octets;
    AppendOctetUserData(octets, header, Bytes{0x00, 0x48});
    EXPECT_EQ(HexOf(octets), "08 05 00 03 2A 02 01 00 48");
}

} // namespace
} // namespace gsm
