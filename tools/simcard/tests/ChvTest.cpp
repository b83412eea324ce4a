#include "base/Hex.h"
#include "tools/simcard/core/SimCard.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using testing::code;
using testing::send;

std::string verify(int chv, std::string_view value) {
    return "A020000" + std::to_string(chv) + "08" + code(value);
}
std::string change(int chv, std::string_view oldValue, std::string_view newValue) {
    return "A024000" + std::to_string(chv) + "10" + code(oldValue) + code(newValue);
}
std::string disable(std::string_view value) {
    return "A026000108" + code(value);
}
std::string enable(std::string_view value) {
    return "A028000108" + code(value);
}
std::string unblock(int chv, std::string_view puk, std::string_view newValue) {
    return std::string("A02C00") + (chv == 1 ? "00" : "02") + "10" + code(puk) + code(newValue);
}

class ChvTest : public ::testing::Test {
protected:
    SimCard card{CardImage::create({})};
    const SecretCode& chv(int n) const { return card.image().chv(n); }
    const SecretCode& puk(int n) const { return card.image().unblockCode(n); }
};

TEST_F(ChvTest, WrongCodesCountDownAndBlock) {
    for (int chvNumber : {1, 2}) {
        EXPECT_EQ(send(card, verify(chvNumber, "0000")), "9804");
        EXPECT_EQ(chv(chvNumber).attemptsLeft, 2);
        EXPECT_EQ(send(card, verify(chvNumber, "0000")), "9804");
        EXPECT_EQ(send(card, verify(chvNumber, "0000")), "9840");
        EXPECT_EQ(chv(chvNumber).attemptsLeft, 0);
        // Blocked: even the right code is refused and the counter stays at 0.
        EXPECT_EQ(send(card, verify(chvNumber, chvNumber == 1 ? "1234" : "5678")), "9840");
        EXPECT_EQ(chv(chvNumber).attemptsLeft, 0);
    }
}

TEST_F(ChvTest, RightCodeRestoresTheCounter) {
    send(card, verify(1, "0000"));
    send(card, verify(1, "0000"));
    EXPECT_EQ(send(card, verify(1, "1234")), "9000");
    EXPECT_EQ(chv(1).attemptsLeft, 3);
    EXPECT_EQ(send(card, verify(2, "5678")), "9000");
}

TEST_F(ChvTest, CodesAreComparedOverAllEightBytes) {
    EXPECT_EQ(send(card, verify(1, "12345")), "9804");
    EXPECT_EQ(send(card, verify(1, "123")), "9804");
    EXPECT_EQ(send(card, "A02000010831323334000000FF"), "9840");
    EXPECT_EQ(chv(1).attemptsLeft, 0);
}

TEST_F(ChvTest, CommandsCheckTheirParameters) {
    const std::pair<std::string, std::string> cases[] = {
        {"A020000308" + code("1234"), "6B00"},                 // no CHV3
        {"A020010108" + code("1234"), "6B00"},                 // P1 must be 00
        {"A02000010431323334", "6708"},                        // four bytes
        {"A024000108" + code("1234"), "6710"},                 // change needs two codes
        {"A026000208" + code("5678"), "6B00"},                 // CHV2 cannot be disabled
        {"A028000208" + code("5678"), "6B00"},                 // nor enabled
        {"A02C000110" + code("12345678") + code("1"), "6B00"}, // unblock P2 01
        {"A02C000008" + code("12345678"), "6710"},
    };
    for (const auto& [command, expected] : cases)
        EXPECT_EQ(send(card, command), expected) << command;
    EXPECT_EQ(chv(1).attemptsLeft, 3);
    EXPECT_EQ(chv(2).attemptsLeft, 3);
    EXPECT_EQ(puk(1).attemptsLeft, 10);
}

TEST_F(ChvTest, ChangeReplacesTheCode) {
    EXPECT_EQ(send(card, change(1, "0000", "4321")), "9804");
    EXPECT_EQ(chv(1).attemptsLeft, 2);
    EXPECT_EQ(send(card, change(1, "1234", "4321")), "9000");
    EXPECT_EQ(chv(1).attemptsLeft, 3);
    EXPECT_EQ(send(card, verify(1, "1234")), "9804");
    EXPECT_EQ(send(card, verify(1, "4321")), "9000");
    EXPECT_EQ(send(card, change(2, "5678", "87654321")), "9000");
    EXPECT_EQ(send(card, verify(2, "87654321")), "9000");
}

TEST_F(ChvTest, DisableAndEnableContradictTheCurrentState) {
    EXPECT_EQ(send(card, enable("1234")), "9808"); // already enabled
    EXPECT_EQ(send(card, disable("0000")), "9804");
    EXPECT_TRUE(card.image().chv1Enabled());
    EXPECT_EQ(send(card, disable("1234")), "9000");
    EXPECT_FALSE(card.image().chv1Enabled());
    EXPECT_EQ(chv(1).attemptsLeft, 3);
    EXPECT_EQ(send(card, disable("1234")), "9808");        // already disabled
    EXPECT_EQ(send(card, verify(1, "1234")), "9808");      // nothing to verify
    EXPECT_EQ(send(card, change(1, "1234", "1")), "9808"); // nor to change
    EXPECT_EQ(send(card, enable("0000")), "9804");
    EXPECT_EQ(chv(1).attemptsLeft, 2);
    EXPECT_FALSE(card.image().chv1Enabled());
    EXPECT_EQ(send(card, enable("1234")), "9000");
    EXPECT_TRUE(card.image().chv1Enabled());
}

TEST_F(ChvTest, EnabledCodeIsVerifiedAtOnce) {
    send(card, disable("1234"));
    card.reset();
    send(card, enable("1234"));
    send(card, "A0A40000027F10");
    send(card, "A0A40000026F3A");
    EXPECT_EQ(send(card, "A0B201041C").substr(56), "9000");
}

TEST_F(ChvTest, BlockedChv1CanNeitherBeDisabledNorEnabled) {
    for (int i = 0; i < 3; ++i)
        send(card, verify(1, "0000"));
    EXPECT_EQ(send(card, disable("1234")), "9840");
    EXPECT_TRUE(card.image().chv1Enabled());
}

TEST_F(ChvTest, UnblockSetsANewCodeAndRestoresTheCounters) {
    for (int i = 0; i < 3; ++i)
        send(card, verify(1, "0000"));
    EXPECT_EQ(send(card, unblock(1, "00000000", "9999")), "9804");
    EXPECT_EQ(puk(1).attemptsLeft, 9);
    EXPECT_EQ(send(card, unblock(1, "12345678", "9999")), "9000");
    EXPECT_EQ(puk(1).attemptsLeft, 10);
    EXPECT_EQ(chv(1).attemptsLeft, 3);
    EXPECT_EQ(send(card, verify(1, "9999")), "9000");
    EXPECT_EQ(send(card, verify(1, "1234")), "9804");
}

TEST_F(ChvTest, UnblockGrantsAccessAndEnablesChv1) {
    send(card, disable("1234"));
    EXPECT_EQ(send(card, unblock(1, "12345678", "2468")), "9000");
    EXPECT_TRUE(card.image().chv1Enabled());
    send(card, "A0A40000027F10");
    send(card, "A0A40000026F3A");
    EXPECT_EQ(send(card, "A0B201041C").substr(56), "9000");
}

TEST_F(ChvTest, TenWrongUnblockCodesBlockForGood) {
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(send(card, unblock(2, "00000000", "1")), "9804");
    EXPECT_EQ(send(card, unblock(2, "00000000", "1")), "9840");
    EXPECT_EQ(send(card, unblock(2, "87654321", "1")), "9840");
    EXPECT_EQ(puk(2).attemptsLeft, 0);
    EXPECT_EQ(send(card, verify(2, "5678")), "9000"); // CHV2 itself still works
}

TEST_F(ChvTest, FailedVerificationWithdrawsAccess) {
    send(card, verify(1, "1234"));
    send(card, verify(1, "0000"));
    send(card, "A0A40000027F10");
    send(card, "A0A40000026F3A");
    EXPECT_EQ(send(card, "A0B201041C"), "9804");
}

TEST(PersistTest, ChangesReachTheStoreBeforeTheAnswer) {
    int stored = 0;
    CardImage last;
    SimCard card(CardImage::create({}), [&](const CardImage& image) {
        ++stored;
        last = image;
        return true;
    });
    send(card, verify(1, "0000"));
    EXPECT_EQ(stored, 1);
    EXPECT_EQ(last.chv(1).attemptsLeft, 2);
    send(card, verify(1, "1234")); // counter back to 3: a change
    EXPECT_EQ(stored, 2);
    send(card, verify(1, "1234")); // nothing changes
    send(card, "A0A40000027F10");
    send(card, "A0A40000026F3A");
    send(card, "A0B201041C");
    EXPECT_EQ(stored, 2);
    send(card, "A0DC01041C" + testing::filled(28, "11"));
    EXPECT_EQ(stored, 3);
    EXPECT_EQ(tarvik::ToHex(last.records({DfTelecom, EfAdn})[0]), testing::filled(28, "11"));
}

TEST(PersistTest, FailedStoreUndoesTheChange) {
    bool storeWorks = true;
    SimCard card(CardImage::create({}), [&](const CardImage&) { return storeWorks; });
    send(card, verify(1, "1234"));
    send(card, "A0A40000027F10");
    send(card, "A0A40000026F3A");
    storeWorks = false;
    EXPECT_EQ(send(card, "A0DC01041C" + testing::filled(28, "11")), "9240");
    EXPECT_EQ(tarvik::ToHex(card.image().records({DfTelecom, EfAdn})[0]),
              testing::filled(28, "FF"));
    EXPECT_EQ(send(card, verify(1, "0000")), "9240");
    EXPECT_EQ(card.image().chv(1).attemptsLeft, 3);
    EXPECT_EQ(send(card, disable("1234")), "9240");
    EXPECT_TRUE(card.image().chv1Enabled());
    EXPECT_EQ(send(card, change(1, "1234", "1111")), "9240");
    EXPECT_EQ(send(card, verify(1, "1234")), "9000");
}

} // namespace
} // namespace simcard
