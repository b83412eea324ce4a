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
        card.chvStatus = answer;
        EXPECT_EQ(QLSIM_VerifyPIN1("1234"), QL_E_CHV) << hex(answer);
        EXPECT_EQ(QLSIM_UnblockPIN1("1", "2"), QL_E_CHV) << hex(answer);
    }
    card.chvStatus = {0x90, 0x00};
    card.transmitFailure = [](const Bytes&) { return std::optional<PcscCode>(kPcscRemovedCard); };
    EXPECT_EQ(QLSIM_DisablePIN1("1234"), QL_E_CHV);
}

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
        card.dfResponse[13] = c.characteristics;
        card.dfResponse[18] = c.chv1;
        uint32_t enabled = 99;
        uint32_t attempts = 99;
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(attempts, c.attempts);
    }
    EXPECT_EQ(hex(card.sent[0]), "A0 A4 00 00 02 7F 10");
    EXPECT_EQ(hex(card.sent[1]), "A0 C0 00 00 22");
}

TEST_F(ChvTest, ContextFillsEveryFieldButTheReservedOne) {
    card.dfResponse[13] = 0x80;
    card.dfResponse[18] = 0x82;
    card.dfResponse[19] = 0x89;
    card.dfResponse[20] = 0x01;
    card.dfResponse[21] = 0x07;
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
        [&] { card.dfResponse.resize(21); }, // 21 bytes and the status word: too short
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
        FakeCard fresh;
        card.dfResponse = fresh.dfResponse;
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

TEST_F(ChvTest, TwentyTwoResponseBytesAreEnough) {
    card.dfResponse.resize(22);
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    EXPECT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(attempts, 3u);
}

TEST(ChvTrace, MarksTheCharacteristicsAndChv1Bytes) {
    Bytes response(22, 0x00);
    response[0] = 0xAB;
    response[13] = 0x80;
    response[18] = 0x83;
    EXPECT_EQ(chvTraceLine(response), "AB 00 00 00 00 00 00 00 00 00 00 00 00 ==>80 00 00 00 00 "
                                      "==>83 00 00 00 \n");
}

TEST_F(ChvTest, GetPin1StateTracesOnlyWhenEnabled) {
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    ::testing::internal::CaptureStderr();
    ::unsetenv("QUENLIB_TRACE");
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    ::setenv("QUENLIB_TRACE", "0", 1);
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    ::testing::internal::CaptureStderr();
    ::setenv("QUENLIB_TRACE", "1", 1);
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    QL_PIN_CONTEXT context{};
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    ::unsetenv("QUENLIB_TRACE");
    const std::string output = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(output.rfind("\nGetPIN1State :\n", 0), 0u);
    EXPECT_NE(output.find("==>00 "), std::string::npos);
    EXPECT_NE(output.find("==>83 "), std::string::npos);
    // One header and one line of 34 bytes: the context query writes nothing.
    EXPECT_EQ(output.size(), std::string("\nGetPIN1State :\n").size() + 34 * 3 + 2 * 3 + 1);
}

} // namespace
} // namespace quenlib::fake
