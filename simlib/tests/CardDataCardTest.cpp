// Phonebook data that cards hold but the library once misread, through libquenlib.so,
// pcscd, the vpcd driver and the virtual card.
#include "base/Hex.h"
#include "simlib/tests/RealCardFixture.h"

#include <sstream>

namespace quenlib::card {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& hex) {
    return tarvik::FromHex(hex, tarvik::HexSpacing::Spaced).value();
}

// Another phone's extension record: ten digit bytes of 1s, last of its chain.
const std::string kForeignRecord = "02 0A 11 11 11 11 11 11 11 11 11 11 FF";

class CardDataCardTest : public RealCardTest {
protected:
    // Replaces the extension working copy with `edit` applied, and writes it to the card.
    template <typename Edit>
    void editExtensions(Edit&& edit) {
        std::uint8_t* buffer = nullptr;
        std::uint32_t size = 0;
        ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
        std::vector<std::uint8_t> copy(buffer, buffer + size);
        edit(copy);
        ASSERT_EQ(QLADN_WriteExt1Buf(copy.data(), size), QL_OK);
        ASSERT_EQ(QLADN_Flush(), QL_OK);
    }

    std::u16string name(std::uint32_t index) {
        QL_ADN_ITEM entry = item(index);
        EXPECT_EQ(QLADN_ReadItemW(&entry), QL_OK);
        EXPECT_EQ(entry.nameLength, std::u16string(entry.name).size());
        return entry.name;
    }
};

TEST_F(CardDataCardTest, ExtensionIdentifierFfIsNoExtensionOnACardWith255ExtensionRecords) {
    simcard::CardOptions options = pinDisabled();
    options.ext1Records = 255;
    startCard(options);
    connectAndSelect();
    const auto foreign = bytesOf(kForeignRecord);
    editExtensions([&](std::vector<std::uint8_t>& records) {
        ASSERT_EQ(records.size(), 255u * 13);
        std::copy(foreign.begin(), foreign.end(), records.begin() + 254 * 13);
    });
    QLSIM_Disconnect(nullptr);
    connectAndSelect(); // the extension records come from the card again

    // GSM 11.11, 10.5.1: an extension identifier FF means no extension record.
    ASSERT_EQ(write(0, u"A", u"1234"), QL_OK);
    EXPECT_EQ(read(0), "A=1234");
    ASSERT_EQ(write(1, u"B", u"5"), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(records(simcard::EfExt1)[254], foreign);

    // With only record 255 free, a long number gets no extension rather than identifier FF.
    editExtensions([&](std::vector<std::uint8_t>& records) {
        for (std::size_t slot = 0; slot < 254; ++slot) {
            records[slot * 13] = 0x02;
            records[slot * 13 + 1] = 0x00;
        }
        std::fill(records.begin() + 254 * 13, records.end(), 0xFF);
    });
    ASSERT_EQ(write(2, u"C", u"123456789012345678901234567890"), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(read(2), "C=12345678901234567890");
    EXPECT_EQ(records(simcard::EfAdn)[2].back(), 0xFF);
    EXPECT_EQ(records(simcard::EfExt1)[254], std::vector<std::uint8_t>(13, 0xFF));
}

TEST_F(CardDataCardTest, NamesTheOneByteFormCannotCarryAreStoredInUcs2) {
    startCard();
    connectAndSelect();
    struct Case {
        std::u16string name;
        std::uint8_t firstByte;
    };
    const Case cases[] = {
        {u"Ha\u00FFe", 0x80}, // U+00FF would read as the filler
        {u"\u0081", 0x80},    // 81 would read as the tag of the base-pointer form
        {u"\u0082x", 0x80},   {u"\u0080AB", 0x80},
        {u"Caf\u00E9", 'C'}, // any other name keeps the one-byte form
        {u"A\u0081", 'A'},
    };
    std::uint32_t index = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(write(index, c.name, u"1"), QL_OK);
        EXPECT_EQ(name(index), c.name);
        EXPECT_EQ(records(simcard::EfAdn)[index][0], c.firstByte);
        ++index;
    }
}

TEST_F(CardDataCardTest, ANameEndsAtItsFirstZeroByteAndItsLengthAgrees) {
    startCard();
    connectAndSelect();
    const auto record = bytesOf("41 00 42 FF FF FF FF FF FF FF FF FF FF FF "
                                "02 81 21 FF FF FF FF FF FF FF FF FF FF FF");
    ASSERT_EQ(QLADN_WriteRecord(0, record.data()), QL_OK);
    QL_ADN_ITEM entry = item(0);
    ASSERT_EQ(QLADN_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(std::u16string(entry.name), u"A");
    EXPECT_EQ(entry.nameLength, 1u);
}

TEST_F(CardDataCardTest, ALengthByteBeyondTheBlockReadsItsTenDigitBytes) {
    startCard();
    connectAndSelect();
    // Length 0D, though GSM 11.11 allows at most 11: the capability identifier (21) and the
    // extension identifier (FF) are no digits.
    const auto record = bytesOf("54 4C 31 FF FF FF FF FF FF FF FF FF FF FF "
                                "0D 81 21 43 65 87 09 21 43 65 87 09 21 FF");
    ASSERT_EQ(QLADN_WriteRecord(0, record.data()), QL_OK);
    EXPECT_EQ(read(0), "TL1=12345678901234567890");
}

} // namespace
} // namespace quenlib::card
