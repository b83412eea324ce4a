#include "simlib/Chv.h"

#include "simlib/tests/LibraryFixture.h"

#include <cstdlib>
#include <functional>

namespace quenlib::fake {
namespace {

class ChvTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        connect();
    }

    // Answers every CHV command with `status` instead of the card.
    void answerChvCommands(Bytes status) {
        card.answer = [status](const Bytes& apdu) -> std::optional<Bytes> {
            const std::uint8_t ins = apdu[1];
            if (ins == 0x20 || ins == 0x24 || ins == 0x26 || ins == 0x28 || ins == 0x2C) {
                return status;
            }
            return std::nullopt;
        };
    }

    // Answers the selection of DF Telecom and GET RESPONSE with `response` instead of the card.
    void answerTelecomWith(Bytes response) {
        card.answer = [response](const Bytes& apdu) -> std::optional<Bytes> {
            if (apdu == Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x7F, 0x10}) {
                return Bytes{0x9F, static_cast<std::uint8_t>(response.size())};
            }
            if (apdu.size() == 5 && apdu[1] == 0xC0 && apdu[4] <= response.size()) {
                Bytes data(response.begin(), response.begin() + apdu[4]);
                data.insert(data.end(), {0x90, 0x00});
                return data;
            }
            return std::nullopt;
        };
    }
};

TEST_F(ChvTest, CommandsSendTheirApduWithCodesPaddedToEightBytes) {
    struct Case {
        std::function<QLRESULT()> call;
        std::string apdu;
    };
    const Case cases[] = {
        {[] { return QLSIM_VerifyPIN1("1234"); }, "A0 20 00 01 08 31 32 33 34 FF FF FF FF"},
        {[] { return QLSIM_DisablePIN1("1234"); }, "A0 26 00 01 08 31 32 33 34 FF FF FF FF"},
        {[] { return QLSIM_EnablePIN1(""); }, "A0 28 00 01 08 FF FF FF FF FF FF FF FF"},
        {[] { return QLSIM_ChangePIN1("1234", "123456789"); },
         "A0 24 00 01 10 31 32 33 34 FF FF FF FF 31 32 33 34 35 36 37 38"},
        {[] { return QLSIM_UnblockPIN1("87654321", "0000"); },
         "A0 2C 00 00 10 38 37 36 35 34 33 32 31 30 30 30 30 FF FF FF FF"},
    };
    answerChvCommands({0x90, 0x00});
    for (const Case& c : cases) {
        card.sent.clear();
        EXPECT_EQ(c.call(), QL_OK);
        ASSERT_EQ(card.sent.size(), 1u);
        EXPECT_EQ(hex(card.sent[0]), c.apdu);
    }
}

TEST_F(ChvTest, AnythingButNinetyHundredIsChvError) {
    const Bytes answers[] = {
        {0x98, 0x04}, {0x98, 0x40}, {0x98, 0x08}, {0x98, 0x10}, {0x90, 0x01}, {0x90}, {}};
    for (const Bytes& answer : answers) {
        answerChvCommands(answer);
        EXPECT_EQ(QLSIM_VerifyPIN1("1234"), QL_E_CHV) << hex(answer);
        EXPECT_EQ(QLSIM_UnblockPIN1("1", "2"), QL_E_CHV) << hex(answer);
    }
    answerChvCommands({0x90, 0x00});
    card.transmitFailure = [](const Bytes&) { return std::optional<PcscCode>(kPcscRemovedCard); };
    EXPECT_EQ(QLSIM_DisablePIN1("1234"), QL_E_CHV);
}

// GSM 11.11, 9.2.1: bit 8 of byte 14 of a DF's response is set while CHV1 is disabled;
// byte 19 holds CHV1's status, bit 8 "initialised" and the attempts left in bits 1 to 4.
TEST_F(ChvTest, StateComesFromBytesFourteenAndNineteenOfTheDfResponse) {
    struct Case {
        std::uint8_t characteristics;
        std::uint8_t chv1;
        std::uint32_t enabled;
        std::uint32_t attempts;
    };
    const Case cases[] = {
        {0x80, 0x83, 0, 3},
        {0x00, 0x83, 1, 3},
        {0xB1, 0x00, 0, 0},
        {0x7F, 0x8F, 1, 15},
    };
    for (const Case& c : cases) {
        Bytes response(22, 0x00);
        response[6] = 0x02;
        response[13] = c.characteristics;
        response[18] = c.chv1;
        answerTelecomWith(response);
        card.sent.clear();
        uint32_t enabled = 99;
        uint32_t attempts = 99;
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(hex(card.sent.at(0)), "A0 A4 00 00 02 7F 10");
        EXPECT_EQ(hex(card.sent.at(1)), "A0 C0 00 00 16");
    }
}

TEST_F(ChvTest, StateFollowsTheCardsCodes) {
    struct Case {
        bool chv1Enabled;
        int chv1Left;
        std::uint32_t enabled;
    };
    const Case cases[] = {{true, 3, 1}, {false, 2, 0}, {true, 0, 1}};
    for (const Case& c : cases) {
        card.image().setChv1Enabled(c.chv1Enabled);
        card.image().chv(1).attemptsLeft = c.chv1Left;
        uint32_t enabled = 99;
        uint32_t attempts = 99;
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(attempts, static_cast<std::uint32_t>(c.chv1Left));
    }
}

TEST_F(ChvTest, ContextFillsEveryFieldButTheReservedOne) {
    card.image().chv(1).attemptsLeft = 2;
    card.image().unblockCode(1).attemptsLeft = 9;
    card.image().chv(2).attemptsLeft = 1;
    card.image().unblockCode(2).attemptsLeft = 7;
    QL_PIN_CONTEXT context{0xDEADBEEF, 9, 9, 9, 9, 9};
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    EXPECT_EQ(context.reserved, 0xDEADBEEFu);
    EXPECT_EQ(context.pin1Enabled, 0u);
    EXPECT_EQ(context.pin1AttemptsLeft, 2u);
    EXPECT_EQ(context.unblock1AttemptsLeft, 9u);
    EXPECT_EQ(context.pin2AttemptsLeft, 1u);
    EXPECT_EQ(context.unblock2AttemptsLeft, 7u);
}

TEST_F(ChvTest, ShortOrRefusedStateAnswersLeaveTheOutputsUntouched) {
    const std::function<void()> faults[] = {
        [&] { answerTelecomWith(Bytes(21, 0x00)); }, // 21 bytes and the status word: too short
        [&] {
            card.answer = [](const Bytes& apdu) {
                return apdu[1] == 0xA4 ? std::optional<Bytes>(Bytes{0x90, 0x00}) : std::nullopt;
            };
        },
        [&] {
            card.transmitFailure = [](const Bytes& apdu) {
                return apdu[1] == 0xC0 ? std::optional<PcscCode>(kPcscRemovedCard) : std::nullopt;
            };
        },
    };
    for (const auto& fault : faults) {
        card.answer = nullptr;
        card.transmitFailure = nullptr;
        fault();
        uint32_t enabled = 77;
        uint32_t attempts = 77;
        QL_PIN_CONTEXT context{1, 2, 3, 4, 5, 6};
        EXPECT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_E_CHV);
        EXPECT_EQ(QLSIM_GetPINContext(&context), QL_E_CHV);
        EXPECT_EQ(enabled, 77u);
        EXPECT_EQ(attempts, 77u);
        EXPECT_EQ(context.pin1Enabled, 2u);
        EXPECT_EQ(context.unblock2AttemptsLeft, 6u);
    }
}

TEST(ChvTrace, MarksTheCharacteristicsAndChv1Bytes) {
    Bytes response(22, 0x00);
    response[0] = 0xAB;
    response[13] = 0x80;
    response[18] = 0x83;
    EXPECT_EQ(chvTraceLine(response), "AB 00 00 00 00 00 00 00 00 00 00 00 00 ==>80 00 00 00 00 "
                                      "==>83 00 00 00 \n");
}
} // namespace
} // namespace quenlib::fake
