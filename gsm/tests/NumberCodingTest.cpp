#include "gsm/NumberCoding.h"

#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gsm {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

Bytes Block(std::initializer_list<std::uint8_t> head) {
    Bytes bytes(kNumberBlockSize, 0xFF);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

TEST(NumberCoding, DecodesNumberBlocks) {
    struct Case {
        Bytes block;
        std::u16string number;
    };
    const Case cases[] = {
        {Block({0x06, 0x91, 0x21, 0x43, 0x65, 0x87, 0xF9}), u"+123456789"},
        {Block({0x04, 0x81, 0x21, 0x43, 0xF5}), u"12345"},
        {Block({0x01, 0x91}), u""},
        {Block({0xFF, 0x91, 0x21}), u""},
        {Block({0x00, 0x81, 0x21}), u""},
        {Block({0x04, 0x81, 0xBA, 0xDC, 0xFE}), u"*#+DE"},
        // A length beyond 11 reads the ten digit bytes only (GSM 11.11, 10.5.1: the length is
        // at most 11); the capability and extension identifiers are no digits.
        {Bytes{0xFE, 0x81, 0x10, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32},
         u"01234567890123456789"},
        {Bytes{0x0D, 0x91, 0x10, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x54, 0x76, 0x98, 0x21, 0x01},
         u"+01234567890123456789"},
        // Fewer than 14 bytes cannot be a number block.
        {Bytes{0x02, 0x81, 0x21}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Narrow(DecodeNumberBlock(c.block)), Narrow(c.number));
    }
}

TEST(NumberCoding, EncodesNumberBlocks) {
    struct Case {
        std::u16string number;
        std::size_t count;
        Bytes block;
    };
    const Case cases[] = {
        {u"*31#12", 6, Block({0x04, 0x81, 0x3A, 0xB1, 0x21})},
        {u"12p4", 4, Block({0x03, 0x81, 0x21, 0x4F})},
        {u"12345", 5, Block({0x04, 0x81, 0x21, 0x43, 0xF5})},
        {u"+39012", 6, Block({0x04, 0x91, 0x93, 0x10, 0xF2})},
        {u"", 0, Block({0x01, 0x81})},
        // A cut odd count takes its last high nibble from the next character.
        {u"1234", 3, Block({0x03, 0x81, 0x21, 0x43})},
        {u"123456789012345678901234", 20,
         Block({0x0B, 0x81, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65, 0x87, 0x09})},
        // 'C' shares the nibble of '+'; other letters become filler and end the number.
        {u"C9", 2, Block({0x02, 0x81, 0x9C})},
        {u"A9", 2, Block({0x02, 0x81, 0x9F})},
    };
    for (const Case& c : cases) {
        Bytes out(kNumberBlockSize, 0xFF);
        EncodeNumberBlock(c.number, c.count, out);
        EXPECT_EQ(out, c.block) << Narrow(c.number);
    }
}

TEST(NumberCoding, EncodedNumbersReadBack) {
    const std::u16string numbers[] = {u"+123456789", u"0039335123456", u"*31#", u"12"};
    for (const auto& number : numbers) {
        Bytes out(kNumberBlockSize, 0xFF);
        EncodeNumberBlock(number, number.size(), out);
        EXPECT_EQ(Narrow(DecodeNumberBlock(out)), Narrow(number));
    }
    Bytes out(kNumberBlockSize, 0xFF);
    EncodeNumberBlock(u"12p4", 4, out);
    EXPECT_EQ(Narrow(DecodeNumberBlock(out)), "12");
}

TEST(NumberCoding, DigitStringsUseLowNibbleFirstAndEndAtFiller) {
    EXPECT_EQ(EncodeDigits(u"12345"), (Bytes{0x21, 0x43, 0xF5}));
    EXPECT_EQ(EncodeDigits(u"1234"), (Bytes{0x21, 0x43}));
    EXPECT_EQ(EncodeDigits(u""), Bytes{});
    EXPECT_EQ(Narrow(DecodeDigits(Bytes{0x21, 0x43, 0xF5, 0x77})), "12345");
    EXPECT_EQ(Narrow(DecodeDigits(Bytes{0xF1, 0x22})), "1");
    EXPECT_EQ(Narrow(DecodeDigits(Bytes{0x1F, 0x22})), "");
    EXPECT_EQ(Narrow(DecodeDigits(Bytes{0x21, 0x43})), "1234");
}

TEST(NumberCoding, NibbleTableMatchesInBothDirections) {
    const std::u16string characters = u"0123456789*#+DE";
    for (std::uint8_t nibble = 0; nibble < 0x0F; ++nibble) {
        EXPECT_EQ(BcdNibbleToChar(nibble), characters[nibble]);
        EXPECT_EQ(CharToBcdNibble(characters[nibble]), nibble);
    }
    EXPECT_EQ(CharToBcdNibble(u'C'), 0x0C);
    for (char16_t other : {u'p', u'w', u',', u' ', u'A', u'\u0416'}) {
        EXPECT_EQ(CharToBcdNibble(other), 0x0F);
    }
}

} // namespace
} // namespace gsm
