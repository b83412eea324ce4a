#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"

#include <string>

namespace quenlib::fake {
namespace {

constexpr std::uint16_t kMsisdn = 0x6F40;

class OwnNumbersTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        card.addFile(kMsisdn, 24, 3);
    }

    void connectAndSelect() {
        connect();
        QL_FILE_INFO info{68, 0, 0};
        ASSERT_EQ(QLISDN_SelectFile(&info), QL_OK);
        EXPECT_EQ(info.recordCount, 3u);
        EXPECT_EQ(info.recordLength, 24u);
    }

    // An entry as "NAME=NUMBER", or the name of the failure.
    static std::string read(std::uint32_t index) {
        QL_CHAR16 name[64];
        QL_CHAR16 number[64];
        std::fill(std::begin(name), std::end(name), u'Z');
        std::fill(std::begin(number), std::end(number), u'Z');
        const QLRESULT result = QLISDN_ReadItemW(index, name, number);
        if (result != QL_OK) {
            return QL_CodeName(result);
        }
        const std::u16string both = test_support::Text(name) + u"=" + test_support::Text(number);
        return std::string(both.begin(), both.end());
    }
};

TEST_F(OwnNumbersTest, NumbersKeepTheirPlusAsInternational) {
    connectAndSelect();
    // 10 bytes of name, then length 03, TON/NPI 91, 73 60, FF for the rest.
    ASSERT_EQ(QLISDN_WriteItemW(1, test_support::Units(u"Own").c_str(),
                                test_support::Units(u"+3706").c_str()),
              QL_OK);
    EXPECT_EQ(hex(card.file(kMsisdn).records[1]),
              "4F 77 6E FF FF FF FF FF FF FF 03 91 73 60 FF FF FF FF FF FF FF FF FF FF");
    EXPECT_EQ(read(1), "Own=+3706");
    ASSERT_EQ(QLISDN_WriteItemW(2, test_support::Units(u"").c_str(),
                                test_support::Units(u"0039335").c_str()),
              QL_OK);
    EXPECT_EQ(read(2), "=0039335");
    EXPECT_EQ(read(0), "=");
}

TEST_F(OwnNumbersTest, NumbersAreCutToTwentyCharactersAndExtensionsIgnored) {
    connectAndSelect();
    // '+' and 19 digits; the tenth digit byte takes its high nibble from the character after
    // the cut, as whole bytes are encoded.
    ASSERT_EQ(QLISDN_WriteItemW(0, test_support::Units(u"A").c_str(),
                                test_support::Units(u"+12345678901234567890123").c_str()),
              QL_OK);
    EXPECT_EQ(read(0), "A=+12345678901234567890");
    EXPECT_EQ(card.file(kMsisdn).records[0].back(), 0xFF);
    // An extension identifier on the card changes nothing.
    card.file(kMsisdn).records[0].back() = 0x01;
    EXPECT_EQ(read(0), "A=+12345678901234567890");
}

TEST_F(OwnNumbersTest, NamesEndAtTheirFirstZeroByte) {
    card.file(kMsisdn).records[0] = {0x41, 0x00, 0x42, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0x02, 0x81, 0x21, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    connectAndSelect();
    EXPECT_EQ(read(0), "A=12");
}

TEST_F(OwnNumbersTest, ReadClearsTheFirst32CharactersOfBothBuffers) {
    connectAndSelect();
    QL_CHAR16 name[40];
    QL_CHAR16 number[40];
    std::fill(std::begin(name), std::end(name), u'Z');
    std::fill(std::begin(number), std::end(number), u'Z');
    ASSERT_EQ(QLISDN_ReadItemW(0, name, number), QL_OK);
    EXPECT_TRUE(std::all_of(name, name + 32, [](QL_CHAR16 c) { return c == 0; }));
    EXPECT_TRUE(std::all_of(number, number + 32, [](QL_CHAR16 c) { return c == 0; }));
    EXPECT_EQ(name[32], u'Z');
}

TEST_F(OwnNumbersTest, FailuresHaveTheirCodes) {
    connect();
    EXPECT_EQ(read(0), "QL_E_READ"); // before selection
    EXPECT_EQ(
        QLISDN_WriteItemW(0, test_support::Units(u"A").c_str(), test_support::Units(u"1").c_str()),
        QL_E_WRITE);
    EXPECT_TRUE(card.sent.empty());
    EXPECT_EQ(QLISDN_WriteItemW(0, nullptr, test_support::Units(u"1").c_str()), QL_E_FAILED);
    QL_FILE_INFO info{0, 5, 5};
    card.removeFile(kMsisdn);
    EXPECT_EQ(QLISDN_SelectFile(&info), QL_E_SELECT_EF);
    card.answer = [](const Bytes& apdu) {
        return apdu[1] == 0xA4 && apdu[5] == 0x7F ? std::optional<Bytes>(Bytes{0x94, 0x04})
                                                  : std::nullopt;
    };
    EXPECT_EQ(QLISDN_SelectFile(&info), QL_E_SELECT_DF);
    EXPECT_EQ(info.recordCount, 5u);
    card.answer = nullptr;
    card.addFile(kMsisdn, 24, 3);
    ASSERT_EQ(QLISDN_SelectFile(&info), QL_OK);
    EXPECT_EQ(read(3), "QL_E_READ");
    EXPECT_EQ(QLISDN_WriteItemW(255, test_support::Units(u"A").c_str(),
                                test_support::Units(u"1").c_str()),
              QL_E_WRITE);
    // The geometry outlives the connection; the card does not.
    QLSIM_Disconnect(nullptr);
    EXPECT_EQ(read(0), "QL_E_NOT_CONNECTED");
    EXPECT_EQ(
        QLISDN_WriteItemW(0, test_support::Units(u"A").c_str(), test_support::Units(u"1").c_str()),
        QL_E_NOT_CONNECTED);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(read(0), "=");
}

} // namespace
} // namespace quenlib::fake
