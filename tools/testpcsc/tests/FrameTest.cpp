#include "tools/testpcsc/CardLink.h"

#include <gtest/gtest.h>

namespace testpcsc {
namespace {

// The card's link frames every message with a 2-byte big-endian length (vpcd's protocol).
TEST(EncodeFrame, PrefixesTheBigEndianLength) {
    const struct {
        Bytes message;
        Bytes frame;
    } cases[] = {
        {{0x04}, {0x00, 0x01, 0x04}},
        {{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00},
         {0x00, 0x07, 0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}},
        {{}, {0x00, 0x00}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeFrame(c.message), c.frame);
    }
    const Bytes longest(0xFFFF, 0x5A);
    const auto frame = EncodeFrame(longest);
    ASSERT_TRUE(frame);
    EXPECT_EQ((*frame)[0], 0xFF);
    EXPECT_EQ((*frame)[1], 0xFF);
    EXPECT_EQ(frame->size(), 0x10001u);
    EXPECT_FALSE(EncodeFrame(Bytes(0x10000, 0)));
}

} // namespace
} // namespace testpcsc
