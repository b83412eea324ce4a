// Short messages and own numbers through libquenlib.so, pcscd, the vpcd driver and the
// virtual card. Records that a phone would store are written raw, byte by byte as
// 3GPP TS 23.040 lays out their TPDU, and read through the item functions.
#include "base/Hex.h"
#include "simlib/tests/MessageRecordCases.h"
#include "simlib/tests/RealCardFixture.h"

#include <algorithm>
#include <sstream>

namespace quenlib::card {
namespace {

using namespace message_cases;

simcard::Bytes bytesOf(const std::string& hex, std::size_t length, std::uint8_t fill = 0xFF) {
    simcard::Bytes bytes = tarvik::FromHex(hex, tarvik::HexSpacing::Spaced).value();
    bytes.resize(std::max(length, bytes.size()), fill);
    return bytes;
}

class MessagesCardTest : public RealCardTest {
protected:
    std::uint32_t selectMessages() {
        EXPECT_EQ(QLSIM_Connect(nullptr), QL_OK);
        QL_COUNT_INFO info{0, 0};
        EXPECT_EQ(QLSMS_SelectFile(&info), QL_OK);
        return info.count;
    }

    static QL_SMS_ITEM message(std::uint32_t index, std::uint32_t status = 0,
                               const std::u16string& address = u"",
                               const std::u16string& body = u"") {
        QL_SMS_ITEM entry{};
        entry.size = sizeof entry;
        entry.index = index;
        entry.status = status;
        std::copy(address.begin(), address.end(), entry.address);
        std::copy(body.begin(), body.end(), entry.text);
        entry.textLength = static_cast<std::uint32_t>(body.size());
        entry.timeStamp = QL_SMS_TIME{2021, 3, 0, 11, 14, 59, 4, 0};
        return entry;
    }

    static QL_SMS_ITEM readBack(std::uint32_t index) {
        QL_SMS_ITEM entry = message(index);
        EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_OK) << index;
        return entry;
    }

    simcard::Bytes messageRecord(std::uint16_t directory, std::size_t index) const {
        return simcard::CardImage::load(card->imagePath())
            .records({directory, simcard::EfSms})
            .at(index);
    }
};

TEST_F(MessagesCardTest, AFreeRecordReadsAsStatusZero) {
    startCard();
    EXPECT_EQ(selectMessages(), 10u);
    const QL_SMS_ITEM entry = readBack(0);
    EXPECT_EQ(entry.status, 0u);
    EXPECT_EQ(entry.address[0], 0);
    EXPECT_EQ(entry.text[0], 0);
    EXPECT_EQ(entry.textLength, 0u);
}

TEST_F(MessagesCardTest, AReceivedMessageIsStoredAsAnSmsDeliver) {
    startCard();
    selectMessages();
    QL_SMS_ITEM entry = message(0, 1, u"5551234", u"OK");
    ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
    // Status 01, service centre 01 81, first octet 00, 7 digits 81 55 15 32 F4, PID 00,
    // DCS 00, the time stamp in swapped nibbles with time zone 00, TP-UDL 02, "OK" packed
    // (TS 23.038), FF to the end of the record.
    std::string expected = "01 01 81 00 07 81 55 15 32 F4 00 00 12 30 11 41 95 40 00 02 CF 25";
    for (int i = 22; i < 176; ++i) {
        expected += " FF";
    }
    EXPECT_EQ(tarvik::ToHex(messageRecord(simcard::DfTelecom, 0), tarvik::HexSpacing::Spaced),
              expected);
    const QL_SMS_ITEM back = readBack(0);
    EXPECT_EQ(back.status, 1u);
    EXPECT_EQ(std::u16string(back.address), u"5551234");
    EXPECT_EQ(back.addressLength, 8u);
    EXPECT_EQ(std::u16string(back.text), u"OK");
    EXPECT_EQ(back.textLength, 2u);
    EXPECT_EQ(back.timeStamp.year, 2021u);
    EXPECT_EQ(back.timeStamp.second, 4u);
}

TEST_F(MessagesCardTest, RecordsAPhoneStoresReadCorrectly) {
    struct Case {
        const char* what;
        std::string record;
        std::uint32_t status;
        std::u16string address;
        std::u16string text;
        std::uint32_t textLength;
    };
    // Service centre +447785016005; sender +44778200234; 2012-03-11 14:59:04 +02:00.
    const std::string deliver = "07 91 44 77 58 10 06 50 04 0B 91 44 77 28 00 32 F4 00 ";
    const std::string concatenated = "07 91 44 77 58 10 06 50 44 0B 91 44 77 28 00 32 F4 00 ";
    const std::string stamp = "21 30 11 41 95 40 80 ";
    const Case cases[] = {
        // TS 23.038, 6.1.2.1.1: "hellohello".
        {"7-bit", "03 " + deliver + "00 " + stamp + "0A E8 32 9B FD 46 97 D9 EC 37", 3,
         u"+44778200234", u"hellohello", 10},
        {"UCS2", "01 " + deliver + "08 " + stamp + "06 04 1F 04 40 04 38", 1, u"+44778200234",
         u"\u041F\u0440\u0438", 6},
        // TS 23.040, 9.2.3.24.1: part 1 of 2 of a concatenated message, reference 2A; the
        // 6-byte header takes 7 septets with one fill bit.
        {"concatenated 7-bit",
         "01 " + concatenated + "00 " + stamp + "0C 05 00 03 2A 02 01 D0 65 36 FB 0D", 1,
         u"+44778200234", u"hello", 5},
        // TS 23.040, 9.2.3.24.8: a 16-bit reference; the 7-byte header takes 8 septets.
        {"16-bit reference", "01 " + concatenated + "00 " + stamp + "0A 06 08 04 12 34 02 01 E8 34",
         1, u"+44778200234", u"hi", 2},
        {"concatenated UCS2", "01 " + concatenated + "08 " + stamp + "08 05 00 03 2A 02 02 04 16",
         1, u"+44778200234", u"\u0416", 2},
        // An SMS-SUBMIT to be sent, relative validity period, message reference 05.
        {"submit", "07 00 11 05 07 81 55 15 32 F4 00 00 A7 02 CF 25", 7, u"5551234", u"OK", 2},
    };
    startCard();
    selectMessages();
    std::uint32_t index = 0;
    for (const Case& c : cases) {
        const auto record = bytesOf(c.record, 176);
        ASSERT_EQ(QLSMS_WriteRecord(index, record.data()), QL_OK) << c.what;
        const QL_SMS_ITEM entry = readBack(index);
        EXPECT_EQ(entry.status, c.status) << c.what;
        EXPECT_EQ(std::u16string(entry.address), c.address) << c.what;
        EXPECT_EQ(std::u16string(entry.text), c.text) << c.what;
        EXPECT_EQ(entry.textLength, c.textLength) << c.what;
        ++index;
    }
    const QL_SMS_ITEM first = readBack(0);
    EXPECT_EQ((std::vector<unsigned>{first.timeStamp.year, first.timeStamp.month,
                                     first.timeStamp.day, first.timeStamp.hour,
                                     first.timeStamp.minute, first.timeStamp.second}),
              (std::vector<unsigned>{2012, 3, 11, 14, 59, 4}));
}

// Written through the item functions, the records hold the bytes worked out by hand from
// 3GPP TS 23.038 and 23.040, which is what a phone reads: "$5 @home [A]" as its 14 septets.
TEST_F(MessagesCardTest, WrittenRecordsHoldWhatPhonesRead) {
    startCard();
    selectMessages();
    for (const AlphabetCase& c : kAlphabetCases) {
        QL_SMS_ITEM entry = message(0, 5, u"5551234", c.text);
        ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
        EXPECT_EQ(messageRecord(simcard::DfTelecom, 0),
                  bytesOf(kSubmitTo5551234 + c.dcsToUserData, 176))
            << c.dcsToUserData;
        const QL_SMS_ITEM back = readBack(0);
        EXPECT_EQ(back.status, 5u);
        EXPECT_EQ(std::u16string(back.text), c.text) << c.dcsToUserData;
    }
    for (const AddressCase& c : kAddressCases) {
        if (c.written.empty()) {
            continue;
        }
        QL_SMS_ITEM entry = message(1, 1, c.written, u"OK");
        ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
        // Status, the service-centre address 01 81 and the first octet come before it.
        const auto field = bytesOf(c.field, 0);
        const auto record = messageRecord(simcard::DfTelecom, 1);
        EXPECT_TRUE(std::equal(field.begin(), field.end(), record.begin() + 4)) << c.field;
        EXPECT_EQ(std::u16string(readBack(1).address), c.address) << c.field;
    }
}

TEST_F(MessagesCardTest, TextsRoundTripInTheirCodings) {
    struct Case {
        std::u16string text;
        std::uint8_t dcs;
        std::uint32_t textLength; // UCS2 texts count bytes
    };
    const Case cases[] = {
        {u"Alarm input 1 open", 0x00, 18},
        {u"Porte ouverte \u00E0 l'\u00E9tage", 0x04, 23},
        {u"\u0422\u0440\u0435\u0432\u043E\u0433\u0430", 0x08, 14},
    };
    startCard();
    selectMessages();
    std::uint32_t index = 0;
    for (const Case& c : cases) {
        QL_SMS_ITEM entry = message(index, 5, u"+390212345", c.text);
        ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
        // Status, 01 81, 31, 04, 9 digits in 5 bytes after length and type, PID, then DCS.
        EXPECT_EQ(messageRecord(simcard::DfTelecom, index)[13], c.dcs);
        const QL_SMS_ITEM back = readBack(index);
        EXPECT_EQ(back.status, 5u);
        EXPECT_EQ(std::u16string(back.address), u"+390212345");
        EXPECT_EQ(std::u16string(back.text), c.text);
        EXPECT_EQ(back.textLength, c.textLength);
        ++index;
    }
}

TEST_F(MessagesCardTest, CdmaCardsKeepTheirMessagesIn7F25) {
    simcard::CardOptions options = pinDisabled();
    options.cdmaDirectory = true;
    startCard(options);
    EXPECT_EQ(selectMessages(), 10u);
    QL_SMS_ITEM entry = message(2, 3, u"5551234*#", u"Caf\u00E9 ouvert");
    ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
    // Status, length, point-to-point, teleservice 1002, originating address in DTMF.
    const auto record = messageRecord(simcard::DfCdma, 2);
    EXPECT_EQ(record[0], 0x03);
    EXPECT_EQ(tarvik::ToHex(std::span(record).subspan(2, 13), tarvik::HexSpacing::Spaced),
              "00 00 02 10 02 02 06 02 55 54 48 D2 F0");
    EXPECT_EQ(messageRecord(simcard::DfTelecom, 2)[0], 0x00); // the GSM file is untouched

    const QL_SMS_ITEM back = readBack(2);
    EXPECT_EQ(back.status, 3u);
    EXPECT_EQ(std::u16string(back.address), u"5551234*#");
    EXPECT_EQ(back.addressLength, 9u);
    EXPECT_EQ(std::u16string(back.text), u"Caf\u00E9 ouvert");
    EXPECT_EQ(back.timeStamp.year, 2021u);

    // A message-centre time stamp of five bytes instead of six is refused.
    const auto wrongStamp = bytesOf("01 0C 00 08 09 03 05 21 03 11 14 59 00 00", 255, 0x00);
    ASSERT_EQ(QLSMS_WriteRecord(3, wrongStamp.data()), QL_OK);
    QL_SMS_ITEM refused = message(3);
    EXPECT_EQ(QLSMS_ReadItemW(&refused), QL_E_READ);

    // An empty message erases its record with zeros.
    QL_SMS_ITEM empty = message(2, 1);
    ASSERT_EQ(QLSMS_WriteItemW(&empty), QL_OK);
    // CDMA records are 255 bytes (3GPP2 C.S0023).
    EXPECT_EQ(messageRecord(simcard::DfCdma, 2), simcard::Bytes(255, 0x00));
}

TEST_F(MessagesCardTest, OwnNumberWithPlusIsStoredInternational) {
    startCard();
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    QL_FILE_INFO info{68, 0, 0};
    ASSERT_EQ(QLISDN_SelectFile(&info), QL_OK);
    EXPECT_EQ(info.recordCount, 2u);
    EXPECT_EQ(info.recordLength, 28u);
    ASSERT_EQ(QLISDN_WriteItemW(0, u"Mine", u"+3706"), QL_OK);
    // GSM 11.11, 10.5.5: the alpha field, then length 03, TON/NPI 91, digits 73 60, FF.
    EXPECT_EQ(
        tarvik::ToHex(records(simcard::EfMsisdn)[0], tarvik::HexSpacing::Spaced),
        "4D 69 6E 65 FF FF FF FF FF FF FF FF FF FF 03 91 73 60 FF FF FF FF FF FF FF FF FF FF");
    QL_CHAR16 name[32];
    QL_CHAR16 number[32];
    ASSERT_EQ(QLISDN_ReadItemW(0, name, number), QL_OK);
    EXPECT_EQ(std::u16string(name), u"Mine");
    EXPECT_EQ(std::u16string(number), u"+3706");
    EXPECT_EQ(QLISDN_ReadItemW(2, name, number), QL_E_READ);
}

} // namespace
} // namespace quenlib::card
