#include "base/Hex.h"
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"

#include <algorithm>
#include <sstream>
#include <string>

namespace quenlib::fake {
namespace {

constexpr std::uint16_t kSms = 0x6F3C;
constexpr std::uint16_t kCdma = 0x7F25;
constexpr std::uint16_t kAdn = 0x6F3A;
constexpr std::uint16_t kExt1 = 0x6F4A;
constexpr std::uint16_t kMsisdn = 0x6F40;

Bytes bytesOf(const std::string& hex, std::size_t length) {
    Bytes bytes = tarvik::FromHex(hex, tarvik::HexSpacing::Spaced).value();
    bytes.resize(length, 0xFF);
    return bytes;
}

std::string text(const QL_CHAR16* field) {
    std::string ascii;
    for (; *field != 0; ++field) {
        ascii += static_cast<char>(*field);
    }
    return ascii;
}

class ShortMessagesTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        card.addFile(kSms, 176, 10);
    }

    void addCdmaFile(unsigned length = 255) {
        card.addDirectory(kCdma);
        card.addFile(kSms, length, 10, kCdma).records.assign(10, Bytes(length, 0x00));
    }

    QLRESULT select(QL_COUNT_INFO& info) { return QLSMS_SelectFile(&info); }

    void connectAndSelect() {
        connect();
        QL_COUNT_INFO info{};
        ASSERT_EQ(select(info), QL_OK);
    }

    // The file identifiers of the SELECT commands sent, as "7F25 6F3C ...".
    std::string selections() const {
        std::string ids;
        for (const Bytes& apdu : card.sentWith(0xA4)) {
            ids += (ids.empty() ? "" : " ") + hex({apdu[5], apdu[6]}).replace(2, 1, "");
        }
        return ids;
    }

    static QL_SMS_ITEM item(std::uint32_t index) {
        QL_SMS_ITEM entry{};
        entry.size = sizeof entry;
        entry.index = index;
        return entry;
    }

    static QL_SMS_ITEM message(std::uint32_t index, std::uint32_t status,
                               const std::u16string& address, const std::u16string& body) {
        QL_SMS_ITEM entry = item(index);
        entry.status = status;
        std::copy(address.begin(), address.end(), entry.address);
        std::copy(body.begin(), body.end(), entry.text);
        entry.textLength = static_cast<std::uint32_t>(body.size());
        entry.timeStamp = QL_SMS_TIME{2024, 2, 0, 29, 23, 58, 59, 0};
        return entry;
    }
};

TEST_F(ShortMessagesTest, SelectionTriesTheCdmaDirectoryFirst) {
    struct Case {
        const char* what;
        std::function<void()> shape;
        std::string selections;
    };
    const Case cases[] = {
        {"GSM card", [] {}, "7F25 7F10 6F3C"},
        {"CDMA card", [&] { addCdmaFile(); }, "7F25 6F3C"},
        {"CDMA directory without short messages", [&] { card.removeFile(kSms, kCdma); },
         "7F25 6F3C 7F10 6F3C"},
    };
    connect();
    for (const Case& c : cases) {
        c.shape();
        card.sent.clear();
        QL_COUNT_INFO info{7, 0};
        ASSERT_EQ(select(info), QL_OK) << c.what;
        EXPECT_EQ(selections(), c.selections) << c.what;
        EXPECT_EQ(info.reserved, 7u);
        EXPECT_EQ(info.count, 10u);
        EXPECT_EQ(card.sentWith(0xC0).size(), 1u);
    }
}

TEST_F(ShortMessagesTest, SelectionFailuresWriteNothing) {
    connect();
    card.removeFile(kSms);
    QL_COUNT_INFO info{0, 77};
    EXPECT_EQ(select(info), QL_E_SELECT_EF);
    card.addFile(kSms, 176, 10);
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xC0 ? std::optional<Bytes>(Bytes{0x6F, 0x00}) : std::nullopt;
    };
    EXPECT_EQ(select(info), QL_E_SELECT_EF);
    EXPECT_EQ(info.count, 77u);
    QLSIM_Disconnect(nullptr);
    EXPECT_EQ(select(info), QL_E_NOT_CONNECTED);
}

TEST_F(ShortMessagesTest, ReadFillsEveryFieldOfTheItem) {
    // A received UCS2 message from 0039335 (7 digits), 2021-03-11 14:59:04.
    card.file(kSms).records[1] = bytesOf("03 00 04 07 81 00 93 33 F5 00 08 12 30 11 41 95 40 00 "
                                         "04 04 16 00 41",
                                         176);
    connectAndSelect();
    QL_SMS_ITEM entry = item(1);
    std::fill(std::begin(entry.address), std::end(entry.address), u'Z');
    std::fill(std::begin(entry.text), std::end(entry.text), u'Z');
    ASSERT_EQ(QLSMS_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(entry.status, 3u);
    EXPECT_EQ(text(entry.address), "0039335");
    EXPECT_EQ(entry.addressLength, 8u); // the digits and the type of address
    EXPECT_EQ(test_support::Text(entry.text), u"\u0416A");
    EXPECT_EQ(entry.textLength, 4u); // UCS2 counts bytes
    EXPECT_EQ(entry.address[45], 0);
    EXPECT_EQ(entry.text[255], 0);
    const QL_SMS_TIME& t = entry.timeStamp;
    EXPECT_EQ((std::vector<unsigned>{t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute,
                                     t.second, t.milliseconds}),
              (std::vector<unsigned>{2021, 3, 0, 11, 14, 59, 4, 0}));

    // A free record clears whatever the item held.
    entry.index = 0;
    ASSERT_EQ(QLSMS_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(entry.status, 0u);
    EXPECT_EQ(entry.addressLength, 0u);
    EXPECT_EQ(entry.address[0], 0);
    EXPECT_EQ(entry.timeStamp.year, 0u);
}

TEST_F(ShortMessagesTest, AddressesTooLongForTheItemAreCutAndTerminated) {
    // An originating address that claims 120 digits and holds them: the item keeps 45.
    std::string digits;
    for (int i = 0; i < 60; ++i) {
        digits += "21 ";
    }
    card.file(kSms).records[0] = bytesOf("01 00 00 78 81 " + digits + "00 00", 176);
    connectAndSelect();
    QL_SMS_ITEM entry = item(0);
    entry.addressLength = 0xDEAD;
    ASSERT_EQ(QLSMS_ReadItemW(&entry), QL_OK);
    std::u16string expected;
    for (int i = 0; i < 45; ++i) {
        expected += i % 2 == 0 ? u'1' : u'2';
    }
    EXPECT_EQ(test_support::Text(entry.address), expected);
    EXPECT_EQ(entry.address[45], 0);
    EXPECT_EQ(entry.addressLength, 46u);
}

TEST_F(ShortMessagesTest, CdmaAddressesTooLongForTheItemAreCut) {
    addCdmaFile(255);
    // 200 DTMF fields of code 13, each read as "13": far beyond the 46 units of the item.
    Bytes record{0x01, 0x00, 0x00, 0x02};
    const std::size_t fields = 200;
    record.push_back(static_cast<std::uint8_t>(1 + (10 + 4 * fields + 7) / 8 - 1));
    record.push_back(static_cast<std::uint8_t>(fields >> 2));
    // The fields' low two bits, the first code (13) and half of the second.
    record.push_back(static_cast<std::uint8_t>((fields & 0x03) << 6 | 0x37));
    while (record.size() < 255) {
        record.push_back(0x77); // the rest of one code and the start of the next
    }
    record[1] = static_cast<std::uint8_t>(record.size() - 2);
    card.file(kSms, kCdma).records[0] = record;
    connectAndSelect();
    QL_SMS_ITEM entry = item(0);
    ASSERT_EQ(QLSMS_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(entry.addressLength, 45u);
    EXPECT_EQ(entry.address[45], 0);
    EXPECT_EQ(test_support::Text(entry.address).substr(0, 4), u"1313");
}

TEST_F(ShortMessagesTest, ACdmaAddressEndsAtAZeroCharacter) {
    // 8-bit digits "1", 00, "2": the address is what a C caller sees, and its length agrees.
    addCdmaFile();
    card.file(kSms, kCdma).records[0] = bytesOf("01 09 00 02 06 88 81 98 80 19 00", 255);
    connectAndSelect();
    QL_SMS_ITEM entry = item(0);
    ASSERT_EQ(QLSMS_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.address), u"1");
    EXPECT_EQ(entry.addressLength, 1u);
}

// The caller's address loses its '+', the record keeps it as the international type of
// number 91 (3GPP TS 23.040, 9.1.2.5).
TEST_F(ShortMessagesTest, WriteStoresTheRecordAndDropsTheLeadingPlus) {
    connectAndSelect();
    QL_SMS_ITEM entry = message(2, 1, u"+5551234", u"OK");
    ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.address), u"5551234");
    EXPECT_EQ(hex(card.file(kSms).records[2]).substr(0, 3 * 24 - 1),
              "01 01 81 00 07 91 55 15 32 F4 00 00 42 20 92 32 85 95 00 02 CF 25 FF FF");
    QL_SMS_ITEM back = item(2);
    ASSERT_EQ(QLSMS_ReadItemW(&back), QL_OK);
    EXPECT_EQ(test_support::Text(back.address), u"+5551234");
}

TEST_F(ShortMessagesTest, TheTextLengthSaysHowMuchOfAGsmTextToStore) {
    connectAndSelect();
    struct Case {
        std::u16string text;
        std::uint32_t length;
        std::u16string stored;
    };
    const Case cases[] = {
        {u"Alarm 1", 5, u"Alarm"},
        {u"Alarm 1", 0, u""},
        {u"Alarm 1", 300, u"Alarm 1"}, // never more than the text has
        {u"\u00E9t\u00E9", 2, u"\u00E9t"},
        {u"[1]", 2, u"[1"},                    // characters, whatever septets they take
        {u"\u0416\u0417", 1, u"\u0416\u0417"}, // UCS2 texts store every character
    };
    for (const Case& c : cases) {
        QL_SMS_ITEM entry = message(0, 5, u"1", c.text);
        entry.textLength = c.length;
        ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
        QL_SMS_ITEM back = item(0);
        ASSERT_EQ(QLSMS_ReadItemW(&back), QL_OK);
        EXPECT_EQ(test_support::Text(back.text), c.stored);
    }
}

TEST_F(ShortMessagesTest, CdmaMessagesRoundTripThroughTheItem) {
    addCdmaFile();
    connectAndSelect();
    QL_SMS_ITEM entry = message(4, 3, u"+3912*#", u"caf\u00E9");
    ASSERT_EQ(QLSMS_WriteItemW(&entry), QL_OK);
    EXPECT_EQ(card.sentWith(0xDC).size(), 1u);
    EXPECT_EQ(card.file(kSms).records[4], Bytes(176, 0xFF)); // the GSM file is untouched
    QL_SMS_ITEM back = item(4);
    ASSERT_EQ(QLSMS_ReadItemW(&back), QL_OK);
    EXPECT_EQ(back.status, 3u);
    EXPECT_EQ(text(back.address), "3912*#");
    EXPECT_EQ(back.addressLength, 6u);
    EXPECT_EQ(test_support::Text(back.text), u"caf\u00E9");
    EXPECT_EQ(back.textLength, 4u);
    EXPECT_EQ(back.timeStamp.year, 2024u);
    EXPECT_EQ(back.timeStamp.second, 59u);

    // Nothing to store erases the record with zeros.
    QL_SMS_ITEM empty = message(4, 1, u"", u"");
    ASSERT_EQ(QLSMS_WriteItemW(&empty), QL_OK);
    EXPECT_EQ(card.file(kSms, kCdma).records[4], Bytes(255, 0x00));
}

TEST_F(ShortMessagesTest, ACdmaRecordTooShortForTheMessageIsNotWritten) {
    // 37 bytes hold a received message to 5551234*# without text; 36 do not.
    addCdmaFile(36);
    connectAndSelect();
    QL_SMS_ITEM entry = message(0, 3, u"5551234*#", u"Hello");
    EXPECT_EQ(QLSMS_WriteItemW(&entry), QL_E_WRITE);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    EXPECT_EQ(card.file(kSms, kCdma).records[0], Bytes(36, 0x00));
}

TEST_F(ShortMessagesTest, AGsmRecordTooShortForTheMessageIsNotWritten) {
    card.removeFile(kSms);
    card.addFile(kSms, 12, 10);
    connectAndSelect();
    QL_SMS_ITEM entry = message(0, 5, u"5551234", u"Hello");
    EXPECT_EQ(QLSMS_WriteItemW(&entry), QL_E_WRITE);
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    EXPECT_EQ(card.file(kSms).records[0], Bytes(12, 0xFF));
}

TEST_F(ShortMessagesTest, CdmaTimeStampOfTheWrongLengthFailsTheRead) {
    addCdmaFile();
    card.file(kSms, kCdma).records[0] = bytesOf("01 0C 00 08 09 03 05 21 03 11 14 59 00 00", 255);
    connectAndSelect();
    QL_SMS_ITEM entry = item(0);
    EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_E_READ);
    EXPECT_EQ(entry.addressLength, 0u);
}

TEST_F(ShortMessagesTest, ItemsBeyondTheFileOrBeforeSelectionAreRefused) {
    connect();
    QL_SMS_ITEM entry = message(0, 1, u"1", u"x");
    EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_E_READ);
    EXPECT_EQ(QLSMS_WriteItemW(&entry), QL_E_WRITE);
    Bytes raw(178, 0xEE);
    EXPECT_EQ(QLSMS_ReadRecord(0, raw.data()), QL_E_READ);
    EXPECT_EQ(QLSMS_WriteRecord(0, raw.data()), QL_E_WRITE);
    EXPECT_TRUE(card.sent.empty());
    QL_COUNT_INFO info{};
    ASSERT_EQ(select(info), QL_OK);
    card.sent.clear();
    for (std::uint32_t index : {255u, 256u, 0x10001u}) {
        entry.index = index;
        EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_E_READ);
        EXPECT_EQ(QLSMS_WriteItemW(&entry), QL_E_WRITE);
    }
    EXPECT_TRUE(card.sentWith(0xDC).empty());
    entry.index = 10;
    EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_E_READ);
    QLSIM_Disconnect(nullptr);
    EXPECT_EQ(QLSMS_ReadItemW(&entry), QL_E_NOT_CONNECTED);
    EXPECT_EQ(QLSMS_WriteItemW(&entry), QL_E_NOT_CONNECTED);
    EXPECT_EQ(QLSMS_ReadRecord(0, raw.data()), QL_E_NOT_CONNECTED);
}

TEST_F(ShortMessagesTest, RawRecordsPassBytesUnchanged) {
    connectAndSelect();
    Bytes record(176);
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_EQ(QLSMS_WriteRecord(3, record.data()), QL_OK);
    EXPECT_EQ(card.file(kSms).records[3], record);
    Bytes back(178, 0);
    ASSERT_EQ(QLSMS_ReadRecord(3, back.data()), QL_OK);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), back.begin()));
    EXPECT_EQ(back[176], 0x90);
}

TEST_F(ShortMessagesTest, EachFamilyUsesItsOwnFileWhateverWasSelectedLast) {
    card.addFile(kAdn, 28, 5);
    card.addFile(kExt1, 13, 3);
    card.addFile(kMsisdn, 28, 2);
    card.file(kAdn).records[0] = bytesOf("41 FF FF FF FF FF FF FF FF FF FF FF FF FF "
                                         "02 81 21 FF FF FF FF FF FF FF FF FF FF FF",
                                         28);
    card.file(kMsisdn).records[0] = bytesOf("4D FF FF FF FF FF FF FF FF FF FF FF FF FF "
                                            "02 81 43 FF FF FF FF FF FF FF FF FF FF FF",
                                            28);
    addCdmaFile();
    connect();
    QL_FILE_INFO adn{};
    ASSERT_EQ(QLADN_SelectFile(&adn), QL_OK);
    QL_FILE_INFO own{};
    ASSERT_EQ(QLISDN_SelectFile(&own), QL_OK);
    // The phonebook after the own numbers' selection, with records of the same length.
    QL_ADN_ITEM entry{};
    ASSERT_EQ(QLADN_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(test_support::Text(entry.name), u"A");
    EXPECT_EQ(test_support::Text(entry.number), u"12");

    // A long number, then the CDMA short messages' selection: the flush still reaches the
    // extension records of DF Telecom.
    std::u16string number(30, u'7');
    std::copy(number.begin(), number.end(), entry.number);
    ASSERT_EQ(QLADN_WriteItemW(&entry), QL_OK);
    QL_COUNT_INFO sms{};
    ASSERT_EQ(QLSMS_SelectFile(&sms), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(card.file(kExt1).records[0][0], 0x02);

    // Reading own numbers and messages after that.
    QL_CHAR16 name[32];
    QL_CHAR16 digits[32];
    ASSERT_EQ(QLISDN_ReadItemW(0, name, digits), QL_OK);
    EXPECT_EQ(test_support::Text(name), u"M");
    QL_SMS_ITEM message = item(0);
    ASSERT_EQ(QLSMS_ReadItemW(&message), QL_OK);
    EXPECT_EQ(message.status, 0u);

    // Staying with one family sends no selection at all.
    card.sent.clear();
    ASSERT_EQ(QLSMS_ReadItemW(&message), QL_OK);
    ASSERT_EQ(QLSMS_ReadItemW(&message), QL_OK);
    EXPECT_TRUE(card.sentWith(0xA4).empty());
}

} // namespace
} // namespace quenlib::fake
