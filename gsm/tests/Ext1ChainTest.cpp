#include "gsm/Ext1Chain.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gsm {
namespace {

Ext1Buffer FreeBuffer() {
    Ext1Buffer buffer;
    buffer.fill(0xFF);
    return buffer;
}

TEST(Ext1Chain, StoresTwentyDigitsPerSlotAndReadsThemBack) {
    Ext1Buffer buffer = FreeBuffer();
    const std::u16string digits(65, u'7');
    const std::uint8_t first = StoreExtensionChain(buffer, 10, digits);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(buffer[12], 2);
    EXPECT_EQ(buffer[13 + 12], 3);
    EXPECT_EQ(buffer[26 + 12], 4);
    EXPECT_EQ(buffer[39 + 1], 3); // five digits in three bytes
    EXPECT_EQ(buffer[39 + 12], 0xFF);
    EXPECT_EQ(ReadExtensionChain(buffer, 10, first), digits);
}

TEST(Ext1Chain, ReadingStopsAtOneHundredTwentySevenDigits) {
    Ext1Buffer buffer = FreeBuffer();
    const std::u16string digits(200, u'1');
    const std::uint8_t first = StoreExtensionChain(buffer, 20, digits);
    EXPECT_EQ(ReadExtensionChain(buffer, 20, first).size(), kMaxExtensionDigits);
}

TEST(Ext1Chain, IdentifiersOutsideTheFileAreNoChain) {
    Ext1Buffer buffer = FreeBuffer();
    StoreExtensionChain(buffer, 3, u"12");
    for (std::uint8_t id : {0, 4, 0xFF}) {
        EXPECT_EQ(ReadExtensionChain(buffer, 3, id), u"");
        ReleaseExtensionChain(buffer, 3, id);
    }
    EXPECT_EQ(buffer[0], 0x02);
    // A negative count (no file selected) holds no records.
    EXPECT_EQ(ReadExtensionChain(buffer, -1, 1), u"");
    EXPECT_EQ(StoreExtensionChain(buffer, -1, u"12"), kNoExtension);
}

TEST(Ext1Chain, IdentifierFfIsNoExtensionInAFileOf255Records) {
    // GSM 11.11, 10.5.1: an extension identifier FF means "no extension"; record 255 of a
    // 255-record EF EXT1 can never be named, so it never belongs to a chain of ours.
    Ext1Buffer buffer = FreeBuffer();
    const auto last = SlotOf(buffer, 254);
    std::fill(last.begin(), last.end(), std::uint8_t{0x11});
    last[0] = 0x02;
    last[1] = 0x0A;
    last[12] = 0xFF;
    EXPECT_EQ(ReadExtensionChain(buffer, 255, kNoExtension), u"");
    ReleaseExtensionChain(buffer, 255, kNoExtension);
    EXPECT_EQ(last[0], 0x02);
    // With every nameable record in use, nothing is stored, and record 255 is not taken.
    for (std::size_t slot = 0; slot < 254; ++slot) {
        SlotOf(buffer, slot)[0] = 0x02;
    }
    last[0] = 0xFF;
    EXPECT_EQ(StoreExtensionChain(buffer, 255, u"123"), kNoExtension);
    EXPECT_EQ(last[0], 0xFF);
}

TEST(Ext1Chain, ReleaseFreesOnlyTheChain) {
    Ext1Buffer buffer = FreeBuffer();
    const std::uint8_t a = StoreExtensionChain(buffer, 10, std::u16string(30, u'1'));
    const std::uint8_t b = StoreExtensionChain(buffer, 10, std::u16string(10, u'2'));
    EXPECT_EQ(b, 3);
    ReleaseExtensionChain(buffer, 10, a);
    EXPECT_EQ(buffer[0], 0xFF);
    EXPECT_EQ(buffer[13], 0xFF);
    EXPECT_EQ(ReadExtensionChain(buffer, 10, b), std::u16string(10, u'2'));
    // The freed slots are reused first.
    EXPECT_EQ(StoreExtensionChain(buffer, 10, u"9"), 1);
}

TEST(Ext1Chain, ARewriteTakesTheSlotsItsChainHadBeforeTheFirstFreeOnes) {
    Ext1Buffer buffer = FreeBuffer();
    // Slots 1 and 2 hold another number; the chain to rewrite is records 4 then 3.
    StoreExtensionChain(buffer, 10, std::u16string(30, u'1'));
    const std::u16string digits(30, u'5');
    ASSERT_EQ(StoreExtensionChain(buffer, 10, digits, std::vector<std::uint8_t>{4, 3}), 4);
    const Ext1Buffer before = buffer;
    ReleaseExtensionChain(buffer, 10, 4);
    // Slot 5 and on are free too, but the old chain's records come first, in its order.
    const std::vector<std::uint8_t> freed = {4, 3};
    EXPECT_EQ(StoreExtensionChain(buffer, 10, digits, freed), 4);
    EXPECT_EQ(buffer, before);
    // Preferred identifiers outside the file or already used are passed over.
    ReleaseExtensionChain(buffer, 10, 4);
    EXPECT_EQ(StoreExtensionChain(buffer, 10, digits, std::vector<std::uint8_t>{0, 11, 1, 3}), 3);
    EXPECT_EQ(SlotOf(buffer, 2)[12], 4);
}

} // namespace
} // namespace gsm
