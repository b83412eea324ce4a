#include "gsm/GsmAlphabet.h"

#include "gsm/TextCoding.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace gsm {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Utf8(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        out += c < 0x80 ? std::string(1, static_cast<char>(c)) : "U+" + std::to_string(c);
    }
    return out;
}

// Characters and their septets from the default table and the extension table of
// 3GPP TS 23.038 6.2.1 and 6.2.1.1; the ASCII characters whose 7-bit codes differ come first.
TEST(GsmAlphabet, MapsCharactersToTheSeptetsOf23038) {
    struct Case {
        std::u16string text;
        Bytes septets;
    };
    const Case cases[] = {
        {u"@", {0x00}},
        {u"$", {0x02}},
        {u"_", {0x11}},
        {u"\u00A4", {0x24}},
        {u"\u00A1", {0x40}},
        {u"\u00A7", {0x5F}},
        {u"\u00C4", {0x5B}},
        {u"\u00BF", {0x60}},
        {u"\u00E0", {0x7F}},
        {u"\u00A3", {0x01}},
        {u"\u00E9", {0x05}},
        {u"\u0394", {0x10}},
        {u"\u03A3", {0x18}},
        {u"\u00C9", {0x1F}},
        {u"\n\r", {0x0A, 0x0D}},
        {u"Az09 #", {0x41, 0x7A, 0x30, 0x39, 0x20, 0x23}},
        {u"^", {0x1B, 0x14}},
        {u"{", {0x1B, 0x28}},
        {u"}", {0x1B, 0x29}},
        {u"\\", {0x1B, 0x2F}},
        {u"[", {0x1B, 0x3C}},
        {u"~", {0x1B, 0x3D}},
        {u"]", {0x1B, 0x3E}},
        {u"|", {0x1B, 0x40}},
        {u"\u20AC", {0x1B, 0x65}},
        {u"\u000C", {0x1B, 0x0A}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeSeptets(c.text), c.septets) << Utf8(c.text);
        EXPECT_EQ(DecodeSeptets(c.septets), c.text) << Utf8(c.text);
        EXPECT_EQ(SeptetsFor(c.text[0]), c.septets[0] == kEscape ? 2u : 1u) << Utf8(c.text);
    }
}

TEST(GsmAlphabet, CharactersOutsideTheAlphabetAreRefused) {
    for (const std::u16string text : {u"`", u"\u0416", u"\u00E7", u"ok\u0001", u"\u001B", u"\t"}) {
        EXPECT_EQ(EncodeSeptets(text), std::nullopt) << Utf8(text);
        EXPECT_EQ(SeptetsFor(text.back()), 0u) << Utf8(text);
    }
}

// 23.038 6.2.1.1: a receiver shows the default character of a code the extension table does
// not hold; an escape with nothing after it shows as a space.
TEST(GsmAlphabet, UnknownEscapesReadAsTheDefaultCharacter) {
    EXPECT_EQ(DecodeSeptets(Bytes{0x1B, 0x41}), u"A");
    EXPECT_EQ(DecodeSeptets(Bytes{0x41, 0x1B}), u"A ");
    EXPECT_EQ(DecodeSeptets(Bytes{0x1B, 0x1B, 0x41}), u" A");
    EXPECT_EQ(DecodeSeptets(Bytes{0x80 | 0x02}), u"$");
}

// Packed user data worked out bit by bit from 23.038 6.1.2.1.1: septet k starts at bit 7k.
TEST(GsmAlphabet, PackedTextMatchesBytesWorkedOutByHand) {
    struct Case {
        std::u16string text;
        Bytes packed;
    };
    const Case cases[] = {
        {u"hellohello", {0xE8, 0x32, 0x9B, 0xFD, 0x46, 0x97, 0xD9, 0xEC, 0x37}},
        {u"$@_", {0x02, 0x40, 0x04}},
        {u"\u20AC", {0x9B, 0x32}},
        {u"$5 @home [A]",
         {0x82, 0x1A, 0x08, 0x80, 0x7E, 0xB7, 0xCB, 0xA0, 0x0D, 0x2F, 0xB8, 0xF1, 0x01}},
    };
    for (const Case& c : cases) {
        const auto septets = EncodeSeptets(c.text);
        ASSERT_TRUE(septets) << Utf8(c.text);
        EXPECT_EQ(PackSeptets(*septets), c.packed) << Utf8(c.text);
        EXPECT_EQ(DecodeSeptets(UnpackSeptets(c.packed, septets->size())), c.text) << Utf8(c.text);
    }
}

} // namespace
} // namespace gsm
