// CDMA short message records against bytes laid out by hand from TIA/EIA-637 (transport
// layer parameters 3.4.3, bearer data subparameters 4.5) and 3GPP2 C.S0023 (the record).
#include "simlib/coding/CdmaSmsRecord.h"

#include "base/Hex.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace quenlib {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& hex) {
    return tarvik::FromHex(hex, tarvik::HexSpacing::Spaced).value();
}

// A record: status, message length, the transport layer message, then 00 up to `length`.
Bytes Record(std::uint8_t status, const std::string& message, std::size_t length = 176) {
    Bytes bytes{status};
    const Bytes body = BytesOf(message);
    bytes.push_back(static_cast<std::uint8_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    bytes.resize(std::max(length, bytes.size()), 0x00);
    return bytes;
}

// Point-to-point (00), teleservice 1002 (cellular messaging).
const std::string kHead = "00 00 02 10 02 ";
// Originating address in DTMF digits: 5551234*# (digit mode 0, number mode 0, 9 fields).
const std::string kAddress = "02 06 02 55 54 48 D2 F0 ";
// Message identifier: deliver, message 1.
const std::string kMessageId = "00 03 10 00 10 ";
// User data "Hello" in 7-bit ASCII (encoding 00010, 5 fields).
const std::string kHello = "01 06 10 2C 8C BB 36 6F ";
// Message centre time stamp 2021-03-11 14:59:04 in BCD.
const std::string kTime = "03 06 21 03 11 14 59 04";

TEST(CdmaSmsRecordTest, ReadsAReceivedMessage) {
    const std::string bearer = kMessageId + kHello + kTime;
    const auto message = ParseCdmaRecord(Record(0x03, kHead + kAddress + "08 15 " + bearer));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->status, 0x03u);
    EXPECT_EQ(message->address, u"5551234*#");
    EXPECT_EQ(message->text, u"Hello");
    EXPECT_EQ(message->time, (MessageTime{2021, 3, 11, 14, 59, 4}));
}

TEST(CdmaSmsRecordTest, ReadsEveryListedAddressAndTextForm) {
    struct Case {
        const char* what;
        std::string parameters;
        std::u16string address;
        std::u16string text;
    };
    const Case cases[] = {
        {"destination address", "04 06 02 55 54 48 D2 F0", u"5551234*#", u""},
        // 8-bit digits, data network numbering (an e-mail address): a placeholder number.
        {"data network", "02 05 D0 1B 0A 03 10", u"00000000000", u""},
        // 8-bit ASCII digits with type and plan.
        {"8-bit digits", "02 07 88 82 18 99 19 9A 00", u"1234", u""},
        // DTMF codes outside 1 ... 12 read as their value: 0, 13.
        {"stray codes", "02 03 00 83 40", u"013", u""},
        {"UCS2 text", "08 08 01 06 20 10 07 48 20 B0", u"", u"\u00E9\u0416"},
        {"octets", "08 05 01 03 00 08 A8", u"", u"\u0015"},
        {"unknown encoding", "08 05 01 03 F8 08 A8", u"", u""},
        // Subparameters other than 00, 01 and 03 are passed over.
        {"other subparameter", "08 0B 0A 01 00 " + kHello.substr(0, 23), u"", u"Hello"},
    };
    for (const Case& c : cases) {
        const auto message = ParseCdmaRecord(Record(0x01, kHead + c.parameters));
        ASSERT_TRUE(message) << c.what;
        EXPECT_EQ(message->address, c.address) << c.what;
        EXPECT_EQ(message->text, c.text) << c.what;
    }
}

TEST(CdmaSmsRecordTest, ATimeStampOfTheWrongLengthRefusesTheRecord) {
    for (const char* stamp : {"03 05 21 03 11 14 59", "03 07 21 03 11 14 59 04 00"}) {
        const std::string bearer = kHello + stamp;
        const auto size = BytesOf(bearer).size();
        char length[4];
        std::snprintf(length, sizeof length, "%02zX", size);
        EXPECT_FALSE(ParseCdmaRecord(Record(0x01, kHead + "08 " + length + " " + bearer))) << stamp;
    }
}

TEST(CdmaSmsRecordTest, YearsFrom96AreInTheTwentiethCentury) {
    const std::pair<std::string, unsigned> cases[] = {
        {"95", 2095}, {"96", 1996}, {"99", 1999}, {"00", 2000}};
    for (const auto& [year, expected] : cases) {
        const auto message =
            ParseCdmaRecord(Record(0x01, kHead + "08 08 03 06 " + year + " 01 01 00 00 00"));
        ASSERT_TRUE(message);
        EXPECT_EQ(message->time.year, expected) << year;
    }
}

TEST(CdmaSmsRecordTest, FreeRecordsAreNotParsed) {
    const auto message = ParseCdmaRecord(Record(0x00, kHead + kAddress));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->status, 0u);
    EXPECT_EQ(message->address, u"");
    EXPECT_TRUE(ParseCdmaRecord({}));
}

TEST(CdmaSmsRecordTest, LengthsBeyondTheRecordReadWhatItHolds) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::u16string address;
        std::u16string text;
    };
    // The message length claims 255 bytes; the address claims 9 digits in 3 bytes; the user
    // data claims 5 characters and holds 2; the bearer data claims 80 bytes.
    Bytes longMessage = Record(0x01, kHead + kAddress, 0);
    longMessage[1] = 0xFF;
    const Case cases[] = {
        {"message length", longMessage, u"5551234*#", u""},
        {"address", Record(0x01, kHead + "02 06 02 55 54", 0), u"555", u""},
        {"user data", Record(0x01, kHead + "08 06 01 04 10 2C 8C BB", 0), u"", u"He"},
        {"bearer data", Record(0x01, kHead + "08 50 " + kHello, 0), u"", u"Hello"},
    };
    for (const Case& c : cases) {
        const auto message = ParseCdmaRecord(c.bytes);
        ASSERT_TRUE(message) << c.what;
        EXPECT_EQ(message->address, c.address) << c.what;
        EXPECT_EQ(message->text, c.text) << c.what;
    }
}

TEST(CdmaSmsRecordTest, WritesTheListedParameters) {
    ShortMessage message;
    message.status = kSmsReceivedUnread;
    message.address = u"5551234*#";
    message.text = u"Hello";
    message.time = {2021, 3, 11, 14, 59, 4};
    const Bytes expected =
        Record(0x03, kHead + kAddress + "06 01 FC 08 15 00 03 10 00 00 " + kHello + kTime);
    EXPECT_EQ(BuildCdmaRecord(message, 176), expected);

    // Status, length, message type, teleservice (4), the address (8), reply option (3),
    // bearer data (2) with message identifier (5), user data without characters (4) and
    // time stamp (8): 37 bytes before any text. A shorter record is refused.
    EXPECT_EQ(
        BuildCdmaRecord(message, 37),
        Record(0x03, kHead + kAddress + "06 01 FC 08 11 00 03 10 00 00 01 02 10 00 " + kTime, 37));
    EXPECT_FALSE(BuildCdmaRecord(message, 36));

    // A sent message: destination address, no reply option, a submit.
    message.status = kSmsToSend;
    const Bytes sent = BuildCdmaRecord(message, 176).value();
    EXPECT_EQ(sent[0], 0x07);
    EXPECT_EQ(sent[7], 0x04);  // destination address
    EXPECT_EQ(sent[15], 0x08); // bearer data straight after it
    EXPECT_EQ(sent[19], 0x20); // message type 2
}

TEST(CdmaSmsRecordTest, TextsWithAnyCharacterFrom0080AreWrittenInUcs2) {
    struct Case {
        std::u16string text;
        std::uint8_t encoding; // the top five bits of the user data's first byte
    };
    const Case cases[] = {
        {u"plain ASCII~", 0x10}, {u"caf\u00E9", 0x20}, {u"\u0080", 0x20},
        {u"\u00FF", 0x20},       {u"\u0416", 0x20},
    };
    for (const Case& c : cases) {
        ShortMessage message;
        message.status = kSmsSent;
        message.address = u"1";
        message.text = c.text;
        const Bytes bytes = BuildCdmaRecord(message, 176).value();
        // Status, length, 00, teleservice (4 bytes), destination address (4), bearer data
        // (2), message identifier (5), then the user data subparameter at byte 18.
        EXPECT_EQ(bytes[18], 0x01);
        EXPECT_EQ(bytes[20] & 0xF8, c.encoding);
        const auto back = ParseCdmaRecord(bytes);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->text, c.text);
    }
}

TEST(CdmaSmsRecordTest, DtmfStarAndHashAreWrittenAndReadAsThemselves) {
    ShortMessage message;
    message.status = kSmsReceivedRead;
    message.address = u"*31#0 9p";
    message.text = u"x";
    const auto back = ParseCdmaRecord(BuildCdmaRecord(message, 176).value());
    ASSERT_TRUE(back);
    // Characters without a DTMF code are left out.
    EXPECT_EQ(back->address, u"*31#09");
}

TEST(CdmaSmsRecordTest, TextsAreCutToWhatTheRecordHolds) {
    for (const std::u16string& text : {std::u16string(300, u'a'), std::u16string(300, u'\u0416')}) {
        ShortMessage message;
        message.status = kSmsReceivedRead;
        message.address = u"12345";
        message.text = text;
        message.time = {2001, 2, 3, 4, 5, 6};
        for (std::size_t length : {60u, 176u, 255u}) {
            const Bytes bytes = BuildCdmaRecord(message, length).value();
            ASSERT_EQ(bytes.size(), length);
            EXPECT_LE(bytes[1] + 2u, length);
            const auto back = ParseCdmaRecord(bytes);
            ASSERT_TRUE(back);
            EXPECT_EQ(back->address, message.address);
            EXPECT_FALSE(back->text.empty());
            EXPECT_EQ(back->text, text.substr(0, back->text.size()));
            EXPECT_EQ(back->time, message.time); // the time stamp survives the cut
        }
    }
}

TEST(CdmaSmsRecordTest, EmptyMessagesEraseTheRecordWithZeros) {
    ShortMessage empty;
    empty.status = kSmsReceivedRead;
    EXPECT_EQ(BuildCdmaRecord(empty, 40), Bytes(40, 0x00));
}

} // namespace
} // namespace quenlib
