// PIN1 on a card that refuses class A0: the exports keep their meaning, filled from the
// UICC's answers (ETSI TS 102 221 §9.5, §11.1.9-11.1.13).
#include "simlib/tests/LibraryFixture.h"

#include <functional>
#include <optional>
#include <string>

namespace quenlib::fake {
namespace {

// The MF's FCP with a PIN status template: PS_DO `psDo` for key references 01 and 81.
Bytes masterFcp(std::optional<std::uint8_t> psDo) {
    if (!psDo) {
        return {0x62, 0x08, 0x82, 0x02, 0x78, 0x21, 0x83, 0x02, 0x3F, 0x00};
    }
    return {0x62, 0x13, 0x82, 0x02,  0x78, 0x21, 0x83, 0x02, 0x3F, 0x00, 0xC6,
            0x09, 0x90, 0x01, *psDo, 0x83, 0x01, 0x01, 0x83, 0x01, 0x81};
}

class UiccPinTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        connect();
    }

    // A UICC without a GSM view whose MF has `psDo` and whose commands without data and
    // with a PIN answer as given.
    void uicc(std::optional<std::uint8_t> psDo, Bytes verifyEmpty, Bytes unblockEmpty,
              Bytes withPin = {0x90, 0x00}) {
        card.answer = [=](const Bytes& apdu) -> std::optional<Bytes> {
            if (apdu[0] != 0x00) {
                return Bytes{0x6E, 0x00};
            }
            const Bytes fcp = masterFcp(psDo);
            if (apdu[1] == 0xA4) {
                return apdu[3] == 0x04 ? Bytes{0x61, static_cast<std::uint8_t>(fcp.size())}
                                       : Bytes{0x90, 0x00};
            }
            if (apdu[1] == 0xC0) {
                Bytes answer = fcp;
                answer.insert(answer.end(), {0x90, 0x00});
                return answer;
            }
            if (apdu.size() == 4 && apdu[3] == 0x01) {
                return apdu[1] == 0x20 ? verifyEmpty : unblockEmpty;
            }
            if (apdu.size() == 4) {
                return Bytes{0x6A, 0x88}; // no PIN2 outside the USIM's ADF
            }
            return withPin;
        };
    }
};

TEST_F(UiccPinTest, StateComesFromThePsDoAndTheRetryCounters) {
    struct Case {
        const char* name;
        std::optional<std::uint8_t> psDo;
        Bytes verifyEmpty;
        Bytes unblockEmpty;
        std::uint32_t enabled;
        std::uint32_t attempts;
        std::uint32_t unblockAttempts;
    };
    const Case cases[] = {
        {"enabled, 3 left", 0x80, {0x63, 0xC3}, {0x63, 0xCA}, 1, 3, 10},
        {"enabled, 1 left", 0x80, {0x63, 0xC1}, {0x63, 0xC9}, 1, 1, 9},
        // §11.1.9: 69 83, the PIN is blocked.
        {"blocked", 0x80, {0x69, 0x83}, {0x63, 0xC5}, 1, 0, 5},
        // PIN1 is the first key reference: the second bit is PIN2's.
        {"disabled", 0x40, {0x63, 0xC3}, {0x63, 0xCA}, 0, 3, 10},
        // 90 00: no presentation needed (verified already, or disabled).
        {"verified", 0x80, {0x90, 0x00}, {0x90, 0x00}, 1, 3, 10},
        // An MF without a PIN status template: VERIFY without data tells.
        {"no template, asked for", std::nullopt, {0x63, 0xC2}, {0x63, 0xCA}, 1, 2, 10},
        {"no template, not asked for", std::nullopt, {0x90, 0x00}, {0x63, 0xCA}, 0, 3, 10},
    };
    for (const Case& c : cases) {
        uicc(c.psDo, c.verifyEmpty, c.unblockEmpty);
        std::uint32_t enabled = 9;
        std::uint32_t attempts = 9;
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK) << c.name;
        EXPECT_EQ(enabled, c.enabled) << c.name;
        EXPECT_EQ(attempts, c.attempts) << c.name;
        QL_PIN_CONTEXT context{};
        ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK) << c.name;
        EXPECT_EQ(context.pin1Enabled, c.enabled) << c.name;
        EXPECT_EQ(context.pin1AttemptsLeft, c.attempts) << c.name;
        EXPECT_EQ(context.unblock1AttemptsLeft, c.unblockAttempts) << c.name;
        EXPECT_EQ(context.pin2AttemptsLeft, 0u) << c.name;
    }
}

TEST_F(UiccPinTest, CommandsAddressKeyReferenceOneInClassZero) {
    uicc(0x80, {0x63, 0xC3}, {0x63, 0xCA});
    const struct {
        std::function<QLRESULT()> call;
        std::string apdu;
    } cases[] = {
        {[] { return QLSIM_VerifyPIN1("1234"); }, "00 20 00 01 08 31 32 33 34 FF FF FF FF"},
        {[] { return QLSIM_DisablePIN1("1234"); }, "00 26 00 01 08 31 32 33 34 FF FF FF FF"},
        {[] { return QLSIM_EnablePIN1("1234"); }, "00 28 00 01 08 31 32 33 34 FF FF FF FF"},
        {[] { return QLSIM_ChangePIN1("1234", "4321"); },
         "00 24 00 01 10 31 32 33 34 FF FF FF FF 34 33 32 31 FF FF FF FF"},
        // §11.1.13: UNBLOCK PIN names the PIN by its key reference too (GSM: P2 = 00).
        {[] { return QLSIM_UnblockPIN1("87654321", "0000"); },
         "00 2C 00 01 10 38 37 36 35 34 33 32 31 30 30 30 30 FF FF FF FF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.call(), QL_OK) << c.apdu;
        EXPECT_EQ(hex(card.sent.back()), c.apdu);
    }
}

TEST_F(UiccPinTest, WrongPinAndBlockedPinAreRefusalsTheHostTellsApart) {
    const struct {
        Bytes answer;
        std::uint32_t refusal;
    } cases[] = {
        {{0x63, 0xC2}, 0},      // a wrong PIN, two tries left: a warning, no refusal
        {{0x69, 0x83}, 0x6983}, // blocked
        {{0x69, 0x82}, 0x6982}, // security status not satisfied
    };
    for (const auto& c : cases) {
        uicc(0x80, {0x63, 0xC3}, {0x63, 0xCA}, c.answer);
        EXPECT_EQ(QLSIM_DisablePIN1("0000"), QL_E_CHV);
        QL_CARD_INFO info{};
        ASSERT_EQ(QLSIM_GetCardInfo(&info), QL_OK);
        EXPECT_EQ(info.lastRefusal, c.refusal);
        EXPECT_EQ(info.kind, QL_CARD_UICC);
    }
}

} // namespace
} // namespace quenlib::fake
