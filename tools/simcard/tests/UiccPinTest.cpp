// PIN1 and PIN2 of the card with --uicc: ETSI TS 102 221 §9.5 and §11.1.9 to §11.1.13.

#include "tools/simcard/core/SimCard.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

using testing::code;
using testing::filled;
using testing::send;

struct Step {
    std::string command;
    std::string answer;
};

std::string verify(std::string_view pin) {
    return "0020000108" + code(pin);
}
std::string verify2(std::string_view pin) {
    return "0020008108" + code(pin);
}
std::string disable(std::string_view pin) {
    return "0026000108" + code(pin);
}
std::string enable(std::string_view pin) {
    return "0028000108" + code(pin);
}
std::string change(std::string_view pin, std::string_view next) {
    return "0024000110" + code(pin) + code(next);
}
std::string unblock(std::string_view puk, std::string_view pin) {
    return "002C000110" + code(puk) + code(pin);
}
const std::string EmptyVerify = "0020000100";
const std::string EmptyUnblock = "002C000100";
const std::string ReadAdn = "00B201041C";
const std::string Record = filled(28, "FF") + "9000";
// The MF's FCP carries the PS_DO (§9.5.2): b8 PIN1, b7 PIN2.
const std::string SelectMf = "00A40004023F00";
const std::string GetMfFcp = "00C000001D";

CardSettings uiccWithPin() {
    CardSettings s;
    s.uicc = true;
    return s;
}

// Runs `steps` on a card with PIN1 enabled (1234, PUK 12345678), EF ADN selected.
SimCard runFlow(const char* name, const std::vector<Step>& steps) {
    SimCard card(CardImage::create(uiccWithPin()));
    EXPECT_EQ(send(card, "00A4080C047F106F3A"), "9000");
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(send(card, steps[i].command), steps[i].answer)
            << name << ", step " << i + 1 << ": " << steps[i].command;
    return card;
}

TEST(UiccPinTest, FlowsCountAttemptsAndGrantAccess) {
    struct Flow {
        const char* name;
        std::vector<Step> steps;
        int pin1Left;
        int puk1Left;
        bool pin1Enabled;
    };
    const Flow flows[] = {
        // §11.1.9: VERIFY without data gives the attempts left as 63 Cx, or 90 00 once
        // verified; a wrong PIN counts down; the right one restores the counter.
        {"verify",
         {{EmptyVerify, "63C3"},
          {ReadAdn, "6982"},
          {verify("0000"), "63C2"},
          {EmptyVerify, "63C2"},
          {verify("1234"), "9000"},
          {EmptyVerify, "9000"},
          {ReadAdn, Record}},
         3,
         10,
         true},
        // Three wrong PINs block PIN1: 63 C0 on the third, 69 83 after it, even for the
        // right PIN and the empty VERIFY.
        {"block",
         {{verify("0000"), "63C2"},
          {verify("0000"), "63C1"},
          {verify("0000"), "63C0"},
          {verify("1234"), "6983"},
          {EmptyVerify, "6983"},
          {ReadAdn, "6982"}},
         0,
         10,
         true},
        // A wrong PIN after a right one withdraws the access.
        {"wrong after right",
         {{verify("1234"), "9000"}, {verify("4321"), "63C2"}, {ReadAdn, "6982"}},
         2,
         10,
         true},
        // §11.1.13: UNBLOCK without data gives the UNBLOCK PIN's attempts; the right one
        // sets the new PIN, restores both counters and verifies.
        {"unblock",
         {{verify("0000"), "63C2"},
          {verify("0000"), "63C1"},
          {verify("0000"), "63C0"},
          {EmptyUnblock, "63CA"},
          {unblock("00000000", "9999"), "63C9"},
          {EmptyUnblock, "63C9"},
          {unblock("12345678", "9999"), "9000"},
          {ReadAdn, Record},
          {EmptyVerify, "9000"},
          {verify("1234"), "63C2"},
          {verify("9999"), "9000"}},
         3,
         10,
         true},
        // §11.1.10: CHANGE PIN checks the old PIN first.
        {"change",
         {{change("0000", "5555"), "63C2"},
          {change("1234", "5555"), "9000"},
          {ReadAdn, Record},
          {verify("1234"), "63C2"},
          {verify("5555"), "9000"}},
         3,
         10,
         true},
        // §11.1.12 DISABLE, §11.1.11 ENABLE: a disabled PIN needs no verification (90 00
        // to the empty VERIFY) and can be neither verified nor changed (69 84); disabling
        // it twice is refused (69 85).
        {"disable and enable",
         {{disable("0000"), "63C2"},
          {disable("1234"), "9000"},
          {ReadAdn, Record},
          {EmptyVerify, "9000"},
          {verify("1234"), "6984"},
          {change("1234", "5555"), "6984"},
          {disable("1234"), "6985"},
          {enable("0000"), "63C2"},
          {enable("1234"), "9000"},
          {ReadAdn, Record},
          {enable("1234"), "6985"}},
         3,
         10,
         true},
        // The PIN status in the MF's FCP follows (§9.5.2: PS_DO 90).
        {"PS_DO",
         {{SelectMf, "611D"},
          {GetMfFcp,
           "621B8202782183023F008A01058B032F0603C609" + std::string("9001C0830101830181") + "9000"},
          {disable("1234"), "9000"},
          {SelectMf, "611D"},
          {GetMfFcp, "621B8202782183023F008A01058B032F0603C609" +
                         std::string("900140830101830181") + "9000"}},
         3,
         10,
         false},
        // Key references (§9.5.1): 01 PIN1, 81 PIN2; PIN2 has its own counter and cannot
        // be disabled here; other references are unknown (6A 88).
        {"key references",
         {{"0020000200", "6A88"},
          {"0020000100" + std::string(""), "63C3"},
          {"0020008100", "63C3"},
          {verify2("1234"), "63C2"},
          {verify2("5678"), "9000"},
          {"0020008100", "9000"},
          {ReadAdn, "6982"},
          {"0026008108" + code("5678"), "6A81"},
          {"002C008100", "63CA"},
          {"002C000300", "6A88"}},
         3,
         10,
         true},
        // Malformed commands count nothing.
        {"malformed",
         {{"0020000104" + std::string("31323334"), "6700"},
          {"0020010108" + code("0000"), "6B00"},
          {"0024000108" + code("1234"), "6700"},
          {"002C000108" + code("12345678"), "6700"},
          {"0026800108" + code("1234"), "6B00"}},
         3,
         10,
         true},
    };
    for (const auto& flow : flows) {
        auto card = runFlow(flow.name, flow.steps);
        // The counters and the PIN state live in the image, which the card stores.
        EXPECT_EQ(card.image().chv(1).attemptsLeft, flow.pin1Left) << flow.name;
        EXPECT_EQ(card.image().unblockCode(1).attemptsLeft, flow.puk1Left) << flow.name;
        EXPECT_EQ(card.image().chv1Enabled(), flow.pin1Enabled) << flow.name;
    }
}

TEST(UiccPinTest, TenWrongUnblockPinsBlockForGood) {
    // §11.1.13.1.1: 63 C9 to 63 C1, 63 C0 on the tenth, then 69 83.
    SimCard card(CardImage::create(uiccWithPin()));
    for (int left = 9; left >= 0; --left)
        EXPECT_EQ(send(card, unblock("00000000", "1111")),
                  "63C" + std::string(1, "0123456789"[left]));
    EXPECT_EQ(send(card, unblock("12345678", "1111")), "6983");
    EXPECT_EQ(send(card, EmptyUnblock), "6983");
}

TEST(UiccPinTest, CountersSurviveAPowerCycleVerificationDoesNot) {
    SimCard card(CardImage::create(uiccWithPin()));
    EXPECT_EQ(send(card, verify("0000")), "63C2");
    EXPECT_EQ(send(card, verify2("5678")), "9000");
    SimCard again(card.image());
    EXPECT_EQ(send(again, EmptyVerify), "63C2");
    EXPECT_EQ(send(again, "0020008100"), "63C3");
}

} // namespace
} // namespace simcard
