#include "base/Utf8.h"
#include "base/Windows1252.h"

#include <gtest/gtest.h>
#include <string>

namespace tarvik {
namespace {

// Code points from the published Windows-1252 table (bytes 80..9F differ from Latin-1).
TEST(Windows1252Test, BytesMapToTheCodePageCharacters) {
    const struct {
        unsigned char byte;
        char32_t character;
    } cases[] = {
        {0x41, U'A'},
        {0x80, U'\u20AC'},
        {0x85, U'\u2026'},
        {0x8A, U'\u0160'},
        {0x92, U'\u2019'},
        {0x96, U'\u2013'},
        {0x99, U'\u2122'},
        {0x9F, U'\u0178'},
        {0xA0, U'\u00A0'},
        {0xE9, U'\u00E9'},
        {0xFF, U'\u00FF'},
        // The undefined bytes stand for the C1 controls of the same number.
        {0x81, U'\u0081'},
        {0x8D, U'\u008D'},
        {0x8F, U'\u008F'},
        {0x90, U'\u0090'},
        {0x9D, U'\u009D'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Windows1252ToUnicode(c.byte), c.character) << int(c.byte);
        EXPECT_EQ(UnicodeToWindows1252(c.character), c.byte) << int(c.byte);
    }
}

TEST(Windows1252Test, ConvertsToAndFromUtf8AsFixedBytes) {
    EXPECT_EQ(Windows1252ToUtf8("a\xE9\x80"), "a\xC3\xA9\xE2\x82\xAC");
    const auto back = Utf8ToWindows1252("a\xC3\xA9\xE2\x82\xAC");
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.text, "a\xE9\x80");
}

TEST(Windows1252Test, CardTextBecomesUtf8AsFixedBytes) {
    // Greek, the euro sign, a character outside the basic plane (a surrogate pair), and a
    // lone surrogate, which has no character.
    EXPECT_EQ(Utf16ToUtf8(u"\u0399\u03C9\u20AC"), "\xCE\x99\xCF\x89\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToUtf8(u"a\U0001F600"), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t{0xD800}, u'b'}), "a\xEF\xBF\xBD"
                                                                         "b");
}

TEST(Windows1252Test, EveryByteSurvivesUtf8AndUtf16) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const auto viaUtf8 = Utf8ToWindows1252(Windows1252ToUtf8(all));
    ASSERT_TRUE(viaUtf8.ok());
    EXPECT_EQ(viaUtf8.text, all);
    const auto viaUtf16 = Utf16ToWindows1252(Windows1252ToUtf16(all));
    ASSERT_TRUE(viaUtf16.ok());
    EXPECT_EQ(viaUtf16.text, all);
}

TEST(Windows1252Test, RefusesCharactersItCannotHoldAndMalformedInput) {
    const struct {
        const char* utf8;
        char32_t refused;
    } cases[] = {
        {"a\xC4\x81", U'\u0101'},            // ā
        {"\xF0\x9F\x98\x80", U'\U0001F600'}, // outside the basic plane
        {"\xC0\xAF", U'\uFFFD'},             // overlong "/"
        {"\xED\xA0\x80", U'\uFFFD'},         // a surrogate in UTF-8
        {"\xE2\x82", U'\uFFFD'},             // cut short
        {"\xFF", U'\uFFFD'},
    };
    for (const auto& c : cases) {
        const auto result = Utf8ToWindows1252(c.utf8);
        EXPECT_FALSE(result.ok()) << c.utf8;
        EXPECT_EQ(result.refused, c.refused) << c.utf8;
    }
    EXPECT_EQ(Utf16ToWindows1252(u"\U0001F600").refused, U'\U0001F600');
    EXPECT_EQ(Utf16ToWindows1252(std::u16string(1, char16_t(0xD800))).refused, U'\uFFFD');
}

TEST(Windows1252Test, RefusalMessageNamesTheCharacter) {
    EXPECT_EQ(RefusedCharacterMessage(U'\u0101'),
              "the character '\xC4\x81' (U+0101) cannot be stored: only Windows-1252 text is "
              "allowed");
}

} // namespace
} // namespace tarvik
