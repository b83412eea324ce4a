#include "gsm/AlphaCoding.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gsm {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Field(std::size_t size, std::initializer_list<std::uint8_t> head) {
    Bytes bytes(size, 0xFF);
    std::copy(head.begin(), head.end(), bytes.begin());
    return bytes;
}

Bytes Encoded(const std::u16string& name, std::size_t size) {
    Bytes bytes(size, 0xFF);
    EncodeAlpha(name, bytes);
    return bytes;
}

TEST(AlphaCoding, DecodesEveryForm) {
    struct Case {
        const char* what;
        Bytes field;
        std::u16string name;
    };
    const Case cases[] = {
        {"plain", Field(14, {0x54, 0x4C, 0x31}), u"TL1"},
        {"plain, full field", Bytes{0x41, 0x42}, u"AB"},
        {"plain, first byte FF hides the rest", Field(14, {0xFF, 0x41}), u""},
        {"UCS2", Field(14, {0x80, 0x04, 0x15, 0x00, 0x41}), u"\u0415A"},
        {"UCS2 uses whole pairs only", Bytes{0x80, 0x00, 0x41, 0x00}, u"A"},
        {"81 form", Field(14, {0x81, 0x02, 0x08, 0x41, 0x85}), u"A\u0405"},
        {"81 form, count beyond field", Bytes{0x81, 0x09, 0x08, 0x41}, u"A"},
        {"82 form", Field(14, {0x82, 0x01, 0x04, 0x10, 0x85}), u"\u0415"},
        {"82 form, mixed", Field(14, {0x82, 0x02, 0x04, 0x10, 0x31, 0x80}), u"1\u0410"},
        {"82 form too short for its header", Bytes{0x82, 0x01, 0x04}, u""},
        {"empty field", Bytes{}, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeAlpha(c.field), c.name) << c.what;
    }
}

TEST(AlphaCoding, EncodesOneBytePerCharacterUnlessUcs2IsNeeded) {
    EXPECT_EQ(Encoded(u"TL1", 14), Field(14, {0x54, 0x4C, 0x31}));
    EXPECT_EQ(Encoded(u"caf\u00E9", 6), Field(6, {0x63, 0x61, 0x66, 0xE9}));
    EXPECT_EQ(Encoded(u"ABCDEFG", 4), (Bytes{0x41, 0x42, 0x43, 0x44}));
    EXPECT_EQ(Encoded(u"", 4), Field(4, {}));
}

TEST(AlphaCoding, OneWideCharacterAnywhereSelectsUcs2) {
    const Bytes bytes = Encoded(u"\u00E9bcdefg\u0416", 14);
    EXPECT_EQ(bytes, (Bytes{0x80, 0x00, 0xE9, 0x00, 0x62, 0x00, 0x63, 0x00, 0x64, 0x00, 0x65, 0x00,
                            0x66, 0xFF}));
    EXPECT_EQ(DecodeAlpha(bytes), u"\u00E9bcdef");
}

TEST(AlphaCoding, ShortUcs2NamesKeepEveryCharacter) {
    EXPECT_EQ(Encoded(u"\u0416", 14), Field(14, {0x80, 0x04, 0x16}));
    EXPECT_EQ(DecodeAlpha(Encoded(u"\u0416\u0417", 14)), u"\u0416\u0417");
}

TEST(AlphaCoding, NamesTheOneByteFormCannotCarryAreWrittenInUcs2) {
    // GSM 11.11, annex B: a first byte 80, 81 or 82 tags a UCS2 form, and FF is the filler.
    // Such names take the 80 form; every other name keeps one byte a character.
    struct Case {
        const char* what;
        std::u16string name;
        Bytes field;
        std::u16string readBack;
    };
    const Case cases[] = {
        {"first character 0080", u"\u0080AB", Field(8, {0x80, 0x00, 0x80, 0x00, 0x41, 0x00, 0x42}),
         u"\u0080AB"},
        {"first character 0081 alone", u"\u0081", Field(8, {0x80, 0x00, 0x81}), u"\u0081"},
        {"first character 0082", u"\u0082x", Field(8, {0x80, 0x00, 0x82, 0x00, 0x78}), u"\u0082x"},
        {"U+00FF anywhere", u"Ha\u00FFe",
         Field(9, {0x80, 0x00, 0x48, 0x00, 0x61, 0x00, 0xFF, 0x00, 0x65}), u"Ha\u00FFe"},
        {"0080 later on", u"A\u0080", Field(8, {0x41, 0x80}), u"A\u0080"},
        {"first character 0083", u"\u0083", Field(8, {0x83}), u"\u0083"},
        {"Latin-1", u"caf\u00E9", Field(8, {0x63, 0x61, 0x66, 0xE9}), u"caf\u00E9"},
    };
    for (const Case& c : cases) {
        const Bytes bytes = Encoded(c.name, c.field.size());
        EXPECT_EQ(bytes, c.field) << c.what;
        EXPECT_EQ(DecodeAlpha(bytes), c.readBack) << c.what;
    }
}

} // namespace
} // namespace gsm
