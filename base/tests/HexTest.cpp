#include "base/Hex.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string_view>
#include <vector>

namespace tarvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Hex, WritesUpperCaseDigitPairs) {
    struct Case {
        Bytes bytes;
        HexSpacing spacing;
        std::string_view hex;
    };
    const Case cases[] = {
        {{}, HexSpacing::Packed, ""},
        {{}, HexSpacing::Spaced, ""},
        {{0x00, 0x0F, 0xA0, 0xFF}, HexSpacing::Packed, "000FA0FF"},
        {{0xA0, 0xA4, 0x00}, HexSpacing::Spaced, "A0 A4 00"},
        {{0x7E}, HexSpacing::Spaced, "7E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToHex(c.bytes, c.spacing), c.hex) << c.hex;
    }
    std::string text = "pdu ";
    AppendHex(text, Bytes{0x1B, 0xC4});
    EXPECT_EQ(text, "pdu 1BC4");
}

TEST(Hex, ReadsDigitsOfEitherCaseAndRefusesAnythingElse) {
    struct Case {
        std::string_view hex;
        HexSpacing spacing;
        std::optional<Bytes> bytes;
    };
    const Case cases[] = {
        {"", HexSpacing::Packed, Bytes{}},
        {"00fFa0", HexSpacing::Packed, Bytes{0x00, 0xFF, 0xA0}},
        {"0", HexSpacing::Packed, std::nullopt},     // an odd count
        {"0G", HexSpacing::Packed, std::nullopt},    // not a digit
        {"A0 A4", HexSpacing::Packed, std::nullopt}, // a blank where none belongs
        {"0x10", HexSpacing::Packed, std::nullopt},  // no prefix
        {"A0 A4\t00", HexSpacing::Spaced, Bytes{0xA0, 0xA4, 0x00}},
        {" A 0 ", HexSpacing::Spaced, Bytes{0xA0}},   // blanks anywhere, digits in pairs
        {"A0 A", HexSpacing::Spaced, std::nullopt},   // an odd count
        {"A0\nA4", HexSpacing::Spaced, std::nullopt}, // a line end is no blank
        {"A0,A4", HexSpacing::Spaced, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FromHex(c.hex, c.spacing), c.bytes) << c.hex;
    }
}

} // namespace
} // namespace tarvik
