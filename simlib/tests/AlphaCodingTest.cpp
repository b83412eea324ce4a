#include "coding/AlphaCoding.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace quenlib {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes field(std::size_t size, std::initializer_list<std::uint8_t> head) {
    Bytes bytes(size, 0xFF);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

Bytes encoded(const std::u16string& name, std::size_t size) {
    Bytes bytes(size, 0xFF);
    encodeAlpha(name, bytes);
    return bytes;
}

TEST(AlphaCoding, DecodesEveryForm) {
    struct Case {
        const char* what;
        Bytes field;
        std::u16string name;
    };
    const Case cases[] = {
        {"plain", field(14, {0x54, 0x4C, 0x31}), u"TL1"},
        {"plain, full field", Bytes{0x41, 0x42}, u"AB"},
        {"plain, first byte FF hides the rest", field(14, {0xFF, 0x41}), u""},
        {"UCS2", field(14, {0x80, 0x04, 0x15, 0x00, 0x41}), u"\u0415A"},
        {"UCS2 uses whole pairs only", Bytes{0x80, 0x00, 0x41, 0x00}, u"A"},
        {"81 form", field(14, {0x81, 0x02, 0x08, 0x41, 0x85}), u"A\u0405"},
        {"81 form, count beyond field", Bytes{0x81, 0x09, 0x08, 0x41}, u"A"},
        {"82 form", field(14, {0x82, 0x01, 0x04, 0x10, 0x85}), u"\u0415"},
        {"82 form, mixed", field(14, {0x82, 0x02, 0x04, 0x10, 0x31, 0x80}), u"1\u0410"},
        {"82 form too short for its header", Bytes{0x82, 0x01, 0x04}, u""},
        {"empty field", Bytes{}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeAlpha(c.field), c.name) << c.what;
    }
}

TEST(AlphaCoding, EncodesOneBytePerCharacterUnlessUcs2IsNeeded) {
    EXPECT_EQ(encoded(u"TL1", 14), field(14, {0x54, 0x4C, 0x31}));
    EXPECT_EQ(encoded(u"caf\u00E9", 6), field(6, {0x63, 0x61, 0x66, 0xE9}));
    EXPECT_EQ(encoded(u"ABCDEFG", 4), (Bytes{0x41, 0x42, 0x43, 0x44}));
    EXPECT_EQ(encoded(u"", 4), field(4, {}));
}

TEST(AlphaCoding, OneWideCharacterAnywhereSelectsUcs2) {
    const Bytes bytes = encoded(u"\u00E9bcdefg\u0416", 14);
    EXPECT_EQ(bytes, (Bytes{0x80, 0x00, 0xE9, 0x00, 0x62, 0x00, 0x63, 0x00, 0x64, 0x00, 0x65, 0x00,
                            0x66, 0xFF}));
    EXPECT_EQ(decodeAlpha(bytes), u"\u00E9bcdef");
}

TEST(AlphaCoding, ShortUcs2NamesKeepEveryCharacter) {
    EXPECT_EQ(encoded(u"\u0416", 14), field(14, {0x80, 0x04, 0x16}));
    EXPECT_EQ(decodeAlpha(encoded(u"\u0416\u0417", 14)), u"\u0416\u0417");
}

TEST(AlphaCoding, LeadingFormBytesAreWrittenPlainAndReadAsTheirForm) {
    // Written as plain bytes, the first character becomes a form marker on reading.
    EXPECT_EQ(encoded(u"\u0080AB", 6), field(6, {0x80, 0x41, 0x42}));
    EXPECT_EQ(decodeAlpha(encoded(u"\u0080AB", 6)), u"\u4142");
    EXPECT_EQ(encoded(u"\u0081", 3), field(3, {0x81}));
    EXPECT_EQ(encoded(u"\u0082", 3), field(3, {0x82}));
}

} // namespace
} // namespace quenlib
