#include "gsm/TextCoding.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gsm {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TextCoding, SelectsTheNarrowestFormThatHoldsEveryCharacter) {
    struct Case {
        std::u16string text;
        TextForm form;
    };
    const Case cases[] = {
        {u"", TextForm::SevenBit},       {u"TL1 ok", TextForm::SevenBit},
        {u"\u007F", TextForm::SevenBit}, {u"caf\u00E9", TextForm::EightBit},
        {u"\u0080", TextForm::EightBit}, {u"\u00E9\u0416", TextForm::Ucs2},
        {u"a\u0100", TextForm::Ucs2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SelectTextForm(c.text), c.form) << std::string(c.text.begin(), c.text.end());
    }
}

// 3GPP TS 23.038, 6.1.2.1.1: septet k starts at bit 7k of the packed octets.
TEST(TextCoding, PacksSeptets) {
    struct Case {
        Bytes septets;
        Bytes packed;
    };
    const Case cases[] = {
        {{0x4F, 0x4B}, {0xCF, 0x25}},
        {{}, {}},
        {{0x41}, {0x41}},
        // Eight septets fill seven bytes exactly.
        {{0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38},
         {0x31, 0xD9, 0x8C, 0x56, 0xB3, 0xDD, 0x70}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackSeptets(c.septets), c.packed);
        EXPECT_EQ(UnpackSeptets(c.packed, c.septets.size()), c.septets);
    }
}

TEST(TextCoding, PackingKeepsOnlyTheLowSevenBits) {
    EXPECT_EQ(PackSeptets(Bytes{0xC1}), Bytes{0x41});
}

TEST(TextCoding, UnpackingStopsWhereTheBytesEnd) {
    // Three septets asked for, but one byte holds only one.
    EXPECT_EQ(UnpackSeptets(Bytes{0x41}, 3), Bytes{0x41});
    EXPECT_EQ(UnpackSeptets(Bytes{}, 5), Bytes{});
    EXPECT_EQ(UnpackSeptets(Bytes{0xCF, 0x25}, 5, 1), Bytes{0x4B});
}

TEST(TextCoding, EightBitAndUcs2RoundTrip) {
    const std::u16string latin = u"Z\u00E9!";
    EXPECT_EQ(Encode8Bit(latin), (Bytes{0x5A, 0xE9, 0x21}));
    EXPECT_EQ(Decode8Bit(Encode8Bit(latin)), latin);
    EXPECT_EQ(Encode8Bit(u"\u0416"), Bytes{0x16});

    const std::u16string cyrillic = u"\u0416A";
    EXPECT_EQ(EncodeUcs2(cyrillic), (Bytes{0x04, 0x16, 0x00, 0x41}));
    EXPECT_EQ(DecodeUcs2(EncodeUcs2(cyrillic)), cyrillic);
}

TEST(TextCoding, Ucs2DecodingIgnoresAnOddLastByte) {
    EXPECT_EQ(DecodeUcs2(Bytes{0x00, 0x41, 0x00}), u"A");
}

} // namespace
} // namespace gsm
