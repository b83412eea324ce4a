// GSM short message records against bytes laid out by hand from 3GPP TS 23.040 (TPDU
// fields, clause 9.2), TS 23.038 (the alphabet and the 7-bit packing) and GSM 11.11, 10.5.3
// (the record).
#include "simlib/coding/GsmSmsRecord.h"

#include "base/Hex.h"
#include "simlib/tests/MessageRecordCases.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace quenlib {
namespace {

using namespace message_cases;
using Bytes = std::vector<std::uint8_t>;

// A record from hex words, FF up to `length`.
Bytes Record(const std::string& hex, std::size_t length = 176) {
    Bytes bytes;
    std::istringstream words(hex);
    for (std::string word; words >> word;) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    bytes.resize(std::max(length, bytes.size()), 0xFF);
    return bytes;
}

std::string Hex(const Bytes& bytes, std::size_t count) {
    return tarvik::ToHex(std::span(bytes).first(std::min(count, bytes.size())),
                         tarvik::HexSpacing::Spaced);
}

ShortMessage MessageOf(std::uint32_t status, std::u16string address, std::u16string text = u"") {
    ShortMessage message;
    message.status = status;
    message.address = std::move(address);
    message.text = std::move(text);
    return message;
}

// Status 03; service centre +447785016005; SMS-DELIVER without more messages (04);
// originating address of 11 digits, international; PID 00; the TP-SCTS 2012-03-11 14:59:04
// in swapped nibbles with a time zone of +8 quarters.
const std::string kDeliverHead = "03 07 91 44 77 58 10 06 50 04 0B 91 44 77 28 00 32 F4 00 ";
const std::string kTimeStamp = "21 30 11 41 95 40 80 ";

TEST(GsmSmsRecordTest, ReadsWhatAPhoneStoresForAReceivedMessage) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
        MessageCoding coding;
    };
    const Case cases[] = {
        // TS 23.038, 6.1.2.1.1: "hellohello" in ten septets.
        {"7-bit", kDeliverHead + "00 " + kTimeStamp + "0A E8 32 9B FD 46 97 D9 EC 37",
         u"hellohello", MessageCoding::SevenBit},
        {"8-bit", kDeliverHead + "04 " + kTimeStamp + "03 41 E9 42", u"A\u00E9B",
         MessageCoding::EightBit},
        {"UCS2", kDeliverHead + "08 " + kTimeStamp + "04 04 16 00 41", u"\u0416A",
         MessageCoding::Ucs2},
    };
    for (const Case& c : cases) {
        const ShortMessage message = ParseGsmRecord(Record(c.bytes));
        EXPECT_EQ(message.status, kSmsReceivedUnread) << c.what;
        EXPECT_EQ(message.address, u"+44778200234") << c.what;
        EXPECT_EQ(message.text, c.text) << c.what;
        EXPECT_EQ(message.coding, c.coding) << c.what;
        EXPECT_EQ(message.time, (MessageTime{2012, 3, 11, 14, 59, 4})) << c.what;
    }
}

TEST(GsmSmsRecordTest, TextAfterAUserDataHeaderStartsOnASeptetBoundary) {
    // TS 23.040, 9.2.3.24: the header is followed by fill bits up to a septet boundary, and
    // TP-UDL counts the header's septets too. First octet 44: SMS-DELIVER with TP-UDHI.
    const std::string head = "01 00 44 04 81 21 43 00 ";
    struct Case {
        const char* what;
        std::string userData;
        std::u16string text;
    };
    const Case cases[] = {
        // Concatenation, 8-bit reference (9.2.3.24.1): 6 header bytes, one fill bit, the
        // header takes 7 septets; "hello" brings TP-UDL to 12.
        {"8-bit reference", "00 " + kTimeStamp + "0C 05 00 03 2A 02 01 D0 65 36 FB 0D", u"hello"},
        // Concatenation, 16-bit reference (9.2.3.24.8): 7 header bytes fill 8 septets
        // exactly; "hi" brings TP-UDL to 10.
        {"16-bit reference", "00 " + kTimeStamp + "0A 06 08 04 12 34 02 01 E8 34", u"hi"},
        // 8-bit and UCS2 texts count bytes: the header's 6 come off TP-UDL.
        {"8-bit", "04 " + kTimeStamp + "08 05 00 03 2A 02 01 4F 4B", u"OK"},
        {"UCS2", "08 " + kTimeStamp + "08 05 00 03 2A 02 01 04 16", u"\u0416"},
    };
    for (const Case& c : cases) {
        const ShortMessage message = ParseGsmRecord(Record(head + c.userData));
        EXPECT_EQ(message.text, c.text) << c.what;
        EXPECT_EQ(message.address, u"1234") << c.what;
    }
}

TEST(GsmSmsRecordTest, ReadsSubmitsWithEveryValidityPeriodFormat) {
    // TS 23.040, 9.2.3.3: TP-VPF in bits 4 and 5 of the first octet; the message reference
    // and the destination address come before PID and DCS.
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no validity period", "07 00 01 05 07 81 55 15 32 F4 00 00 02 CF 25"},
        {"relative", "07 00 11 05 07 81 55 15 32 F4 00 00 A7 02 CF 25"},
        {"absolute", "07 00 19 05 07 81 55 15 32 F4 00 00 21 30 11 41 95 40 80 02 CF 25"},
        {"enhanced", "07 00 09 05 07 81 55 15 32 F4 00 00 01 02 03 04 05 06 07 02 CF 25"},
    };
    for (const Case& c : cases) {
        const ShortMessage message = ParseGsmRecord(Record(c.bytes));
        EXPECT_EQ(message.status, kSmsToSend) << c.what;
        EXPECT_EQ(message.address, u"5551234") << c.what;
        EXPECT_EQ(message.text, u"OK") << c.what;
        EXPECT_EQ(message.time, MessageTime{}) << c.what;
    }
}

TEST(GsmSmsRecordTest, StatusBytesReadAsGsm1111AndTs31102Say) {
    const std::string submit = " 00 31 04 07 81 55 15 32 F4 00 00 FF 02 CF 25";
    const std::string deliver = " 00 00 04 81 21 43 00 00 " + kTimeStamp + "02 CF 25";
    for (const StatusCase& c : kStatusCases) {
        const bool sent = c.itemStatus == kSmsSent || c.itemStatus == kSmsToSend;
        const ShortMessage message = ParseGsmRecord(Record(c.status + (sent ? submit : deliver)));
        EXPECT_EQ(message.status, c.itemStatus) << c.status;
        EXPECT_EQ(message.text, c.hasText ? u"OK" : u"") << c.status;
    }
    EXPECT_EQ(ParseGsmRecord({}).status, kSmsFree);
}

TEST(GsmSmsRecordTest, StatusFollowsTheMessageType) {
    struct Case {
        std::string bytes;
        std::uint32_t status;
    };
    const Case cases[] = {
        // A DELIVER stored as sent reads as received, a SUBMIT stored as received as to be sent.
        {"05 00 00 00 81 00 00 " + kTimeStamp + "00", kSmsReceivedRead},
        {"1D 00 00 00 81 00 00 " + kTimeStamp + "00", kSmsReceivedRead},
        {"07 00 00 00 81 00 00 " + kTimeStamp + "00", kSmsReceivedRead},
        {"01 00 01 00 00 81 00 00 00", kSmsToSend},
        {"03 00 01 00 00 81 00 00 00", kSmsToSend},
        {"05 00 01 00 00 81 00 00 00", kSmsSent},
        // A status report carries no text.
        {"01 00 02 00 00 81", kSmsReceivedRead},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseGsmRecord(Record(c.bytes)).status, c.status) << c.bytes;
    }
}

// A sent message's SUBMIT asks for a status report, so the record says one is awaited.
TEST(GsmSmsRecordTest, WrittenStatusBytes) {
    const std::pair<std::uint32_t, std::uint8_t> cases[] = {
        {kSmsReceivedRead, 0x01},
        {kSmsReceivedUnread, 0x03},
        {kSmsSent, 0x0D},
        {kSmsToSend, 0x07},
        {0x0D, 0x0D},
        {0x15, 0x15},
        {0x1D, 0x1D},
    };
    for (const auto& [status, stored] : cases) {
        EXPECT_EQ(BuildGsmRecord(MessageOf(status, u"1"), 30)->at(0), stored) << status;
    }
}

TEST(GsmSmsRecordTest, TextsAreWrittenAndReadInTheGsmAlphabet) {
    for (const AlphabetCase& c : kAlphabetCases) {
        const Bytes expected = Record(kSubmitTo5551234 + c.dcsToUserData);
        EXPECT_EQ(*BuildGsmRecord(MessageOf(kSmsSent, u"5551234", c.text), 176), expected)
            << c.dcsToUserData;
        const ShortMessage back = ParseGsmRecord(expected);
        EXPECT_EQ(back.text, c.text) << c.dcsToUserData;
        EXPECT_EQ(back.status, kSmsSent) << c.dcsToUserData;
    }
}

TEST(GsmSmsRecordTest, TheCodingGroupChoosesTheAlphabet) {
    for (const CodingGroupCase& c : kCodingGroupCases) {
        const ShortMessage message =
            ParseGsmRecord(Record(kDeliverFrom1234 + c.dcs + " " + kTimeStamp + c.userData));
        EXPECT_EQ(message.text, c.text) << c.dcs;
        // A text that cannot be decoded still leaves the message.
        EXPECT_EQ(message.status, kSmsReceivedRead) << c.dcs;
        EXPECT_EQ(message.address, u"1234") << c.dcs;
    }
}

TEST(GsmSmsRecordTest, AddressesFollowTheirTypeOfNumber) {
    for (const AddressCase& c : kAddressCases) {
        const Bytes stored = Record("01 00 00 " + c.field + " 00 00 " + kTimeStamp + kOkIn7Bit);
        const ShortMessage message = ParseGsmRecord(stored);
        EXPECT_EQ(message.address, c.address) << c.field;
        EXPECT_EQ(message.text, u"OK") << c.field;
        if (!c.written.empty()) {
            const Bytes bytes = *BuildGsmRecord(MessageOf(kSmsReceivedRead, c.written), 176);
            const Bytes field = Record(c.field, 0);
            EXPECT_TRUE(std::equal(field.begin(), field.end(), bytes.begin() + 4)) << c.field;
        }
    }
}

TEST(GsmSmsRecordTest, UserDataHoldsAtMost140Octets) {
    for (const LimitCase& c : kLimitCases) {
        const Bytes bytes = *BuildGsmRecord(MessageOf(kSmsSent, u"5551234", c.text), 176);
        // The fixed fields, TP-UDL, then 140 octets of TP-UD at most.
        const std::size_t head = 15;
        EXPECT_EQ(Hex(bytes, head), Hex(Record(kSubmitTo5551234 + c.dcs + " FF"), head - 1) + " " +
                                        Hex({c.userDataLength}, 1));
        EXPECT_TRUE(std::all_of(bytes.begin() + head + 140, bytes.end(),
                                [](std::uint8_t b) { return b == 0xFF; }));
        EXPECT_EQ(ParseGsmRecord(bytes).text, c.text.substr(0, c.kept));
    }
}

TEST(GsmSmsRecordTest, TimeStampYearsBefore2000AreTheLateNineties) {
    const std::pair<std::string, unsigned> cases[] = {
        {"69", 1996}, {"99", 1999}, {"59", 2095}, {"00", 2000}, {"12", 2021}};
    for (const auto& [year, expected] : cases) {
        const auto message =
            ParseGsmRecord(Record("01 00 00 00 81 00 00 " + year + " 10 10 10 10 10 00 00"));
        EXPECT_EQ(message.time.year, expected) << year;
    }
}

TEST(GsmSmsRecordTest, LengthsBeyondTheRecordReadWhatItHolds) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::u16string address;
        std::u16string text;
    };
    const Case cases[] = {
        // TP-UDL of 160 septets in a record that ends after two of them.
        {"TP-UDL", Record("01 00 00 04 81 21 43 00 00 " + kTimeStamp + "A0 CF 25", 19), u"1234",
         u"OK"},
        {"TP-UDL 8-bit", Record("01 00 00 04 81 21 43 00 04 " + kTimeStamp + "FF 4F 4B", 19),
         u"1234", u"OK"},
        // A header length past the end of the record leaves no text.
        {"header length", Record("01 00 40 04 81 21 43 00 00 " + kTimeStamp + "20 FE 00 00", 20),
         u"1234", u""},
        // An address of 255 digits in a 14-byte record.
        {"address length", Record("01 00 00 FF 81 21 43 65 87 09 21 43 65 87", 14),
         u"123456789012345678", u""},
        {"service-centre length", Record("01 FF 91 44 77", 5), u"", u""},
        {"cut inside the time stamp", Record("01 00 00 02 81 21 00 00 21 30", 10), u"12", u""},
    };
    for (const Case& c : cases) {
        const ShortMessage message = ParseGsmRecord(c.bytes);
        EXPECT_EQ(message.address, c.address) << c.what;
        EXPECT_EQ(message.text, c.text) << c.what;
    }
}

TEST(GsmSmsRecordTest, AnOddAddressEndsWithItsFillerWhateverTheRecordHolds) {
    // Three digits claimed; the last byte's high nibble holds a 7 instead of the filler.
    EXPECT_EQ(ParseGsmRecord(Record("01 00 00 03 81 21 73 00 00 " + kTimeStamp + "00")).address,
              u"123");
}

TEST(GsmSmsRecordTest, WritesAReceivedMessageAsAnSmsDeliver) {
    ShortMessage message;
    message.status = kSmsReceivedRead;
    message.address = u"5551234";
    message.text = u"OK";
    message.time = {2021, 3, 11, 14, 59, 4};
    const Bytes bytes = *BuildGsmRecord(message, 176);
    ASSERT_EQ(bytes.size(), 176u);
    // Status, an empty service-centre address (01 81), DELIVER, the address in BCD, PID,
    // DCS, the time stamp with time zone 00, TP-UDL, "OK" packed, then FF.
    EXPECT_EQ(Hex(bytes, 24), "01 01 81 00 07 81 55 15 32 F4 00 00 12 30 11 41 95 40 00 02 CF 25 "
                              "FF FF");
    EXPECT_TRUE(std::all_of(bytes.begin() + 22, bytes.end(), [](auto b) { return b == 0xFF; }));
}

TEST(GsmSmsRecordTest, WritesASentMessageAsAnSmsSubmit) {
    const ShortMessage message = MessageOf(kSmsToSend, u"123", u"\u00E9");
    // SUBMIT with a relative validity period and a status report requested (31), message
    // reference 04, DCS 04 for 8-bit, validity period FF.
    EXPECT_EQ(Hex(*BuildGsmRecord(message, 176), 15),
              "07 01 81 31 04 03 81 21 F3 00 04 FF 01 E9 FF");
}

TEST(GsmSmsRecordTest, WrittenTextsReadBackInTheirCoding) {
    struct Case {
        std::u16string text;
        MessageCoding coding;
    };
    const Case cases[] = {
        {u"Alarm input 1", MessageCoding::SevenBit},
        {u"caf\u00E9 \u00FF", MessageCoding::EightBit},
        {u"\u041F\u0440\u0438\u0432\u0435\u0442", MessageCoding::Ucs2},
        {u"", MessageCoding::SevenBit},
    };
    for (std::uint32_t status : {kSmsReceivedUnread, kSmsSent}) {
        for (const Case& c : cases) {
            ShortMessage message;
            message.status = status;
            message.address = u"0039335";
            message.text = c.text;
            message.time = {1998, 12, 31, 23, 59, 58};
            const ShortMessage back = ParseGsmRecord(*BuildGsmRecord(message, 176));
            EXPECT_EQ(back.status, status);
            EXPECT_EQ(back.address, message.address);
            EXPECT_EQ(back.text, c.text);
            EXPECT_EQ(back.coding, c.coding);
            EXPECT_EQ(back.time, IsReceived(status) ? message.time : MessageTime{});
        }
    }
}

TEST(GsmSmsRecordTest, TextsAreCutToTheRecordAndTheirCountsSayWhatWasKept) {
    struct Case {
        std::u16string text;
        std::size_t kept;
    };
    // A 40-byte SUBMIT record with a 4-digit address has 12 bytes before TP-UDL, which
    // leaves 27 bytes of user data.
    const Case cases[] = {
        {std::u16string(100, u'a'), 30}, // 30 septets fit in 27 bytes
        {std::u16string(100, u'\u00E9'), 27},
        {std::u16string(100, u'\u0416'), 13},
    };
    for (const Case& c : cases) {
        const Bytes bytes = *BuildGsmRecord(MessageOf(kSmsSent, u"1234", c.text), 40);
        ASSERT_EQ(bytes.size(), 40u);
        EXPECT_EQ(ParseGsmRecord(bytes).text, c.text.substr(0, c.kept));
    }
}

TEST(GsmSmsRecordTest, EmptyMessagesAndOtherStatusesEraseTheRecord) {
    ShortMessage empty;
    empty.status = kSmsReceivedRead;
    EXPECT_EQ(*BuildGsmRecord(empty, 30), Bytes(30, 0xFF));
    ShortMessage unknown;
    unknown.status = 2;
    unknown.text = u"x";
    EXPECT_EQ(*BuildGsmRecord(unknown, 30), Bytes(30, 0xFF));
}

// A record must hold every field of the TPDU before TP-UD (3GPP TS 23.040 §9.2.2.2): a
// SUBMIT to 5551234 takes 15 bytes with TP-UDL, a DELIVER from it 20.
TEST(GsmSmsRecordTest, ARecordTooShortForTheFieldsBeforeTheTextIsNotBuilt) {
    const struct {
        std::uint32_t status;
        std::size_t length;
        bool built;
    } cases[] = {
        {kSmsSent, 14, false},
        {kSmsSent, 15, true},
        {kSmsReceivedRead, 19, false},
        {kSmsReceivedRead, 20, true},
    };
    for (const auto& c : cases) {
        const auto bytes = BuildGsmRecord(MessageOf(c.status, u"5551234", u"Hi"), c.length);
        ASSERT_EQ(bytes.has_value(), c.built) << c.status << " " << c.length;
        if (bytes) {
            EXPECT_EQ(bytes->size(), c.length);
            EXPECT_EQ(bytes->back(), 0x00) << "TP-UDL, no room for the text";
        }
    }
}

} // namespace
} // namespace quenlib
