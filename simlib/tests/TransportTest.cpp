// The T=0 exchange below every command: procedure bytes, the card's mode and what each status
// word family means to the library.
#include "base/Hex.h"
#include "simlib/CardCommands.h"
#include "simlib/Chv.h"
#include "simlib/tests/LibraryFixture.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quenlib::fake {
namespace {

Bytes bytesOf(const std::string& text) {
    return tarvik::FromHex(text, tarvik::HexSpacing::Spaced).value();
}

class TransportTest : public LibraryTest {
protected:
    Connection connection{1, Protocol::T0};

    // The card answers these in turn, then the last one again and again.
    void script(const std::vector<std::string>& answers) {
        auto queue = std::make_shared<std::deque<Bytes>>();
        for (const auto& answer : answers) {
            queue->push_back(bytesOf(answer));
        }
        card.answer = [queue](const Bytes&) {
            const Bytes next = queue->front();
            if (queue->size() > 1) {
                queue->pop_front();
            }
            return std::optional<Bytes>(next);
        };
    }
};

const Bytes kEfId{0x6F, 0x3A};
const Bytes kRecord{0x11, 0x22, 0x33};

// What a command does with each status word family, in the mode the card is in.
struct Case {
    const char* name;
    CardMode mode;
    std::vector<std::string> answers;
    std::function<bool(const Connection&)> run;
    std::vector<std::string> sent;
    bool ok;
    std::uint16_t refusal = 0;
};

bool readThree(const Connection& c) {
    return readRecord(c, 1, 3).has_value();
}
bool update(const Connection& c) {
    return updateRecord(c, 1, kRecord);
}
bool selectWithFcp(const Connection& c) {
    return selectFileWithFcp(c, 0x6F3A).has_value();
}
bool verify(const Connection& c) {
    return sendChvCommand(c, ChvCommand::Verify, "1234", std::nullopt) == QL_OK;
}

TEST_F(TransportTest, StatusWordFamilies) {
    const std::string gsmUpdate = "A0 DC 01 04 03 11 22 33";
    const std::string uiccUpdate = "00 DC 01 04 03 11 22 33";
    const std::string gsmVerify = "A0 20 00 01 08 31 32 33 34 FF FF FF FF";
    const std::string uiccVerify = "00 20 00 01 08 31 32 33 34 FF FF FF FF";
    const Case cases[] = {
        // ETSI TS 102 221 §7.3.1.1.4 (T=0): 61 xx, xx bytes wait for GET RESPONSE, in the
        // class of the card's mode.
        {"61 xx",
         CardMode::Uicc,
         {"61 03", "01 02 03 90 00"},
         selectWithFcp,
         {"00 A4 00 04 02 6F 3A", "00 C0 00 00 03"},
         true},
        {"61 xx again",
         CardMode::Uicc,
         {"61 02", "01 02 61 01", "03 90 00"},
         selectWithFcp,
         {"00 A4 00 04 02 6F 3A", "00 C0 00 00 02", "00 C0 00 00 01"},
         true},
        {"61 xx to class A0",
         CardMode::Gsm,
         {"61 03", "01 02 03 90 00"},
         readThree,
         {"A0 B2 01 04 03", "A0 C0 00 00 03"},
         true},
        // 6C xx: the same command again with P3 = xx.
        {"6C xx",
         CardMode::Uicc,
         {"6C 03", "01 02 03 90 00"},
         [](const Connection& c) { return readRecord(c, 1, 0x1E).has_value(); },
         {"00 B2 01 04 1E", "00 B2 01 04 03"},
         false},
        {"6C xx right",
         CardMode::Uicc,
         {"6C 03", "01 02 03 90 00"},
         readThree,
         {"00 B2 01 04 03", "00 B2 01 04 03"},
         true},
        // GSM 11.11 §9.4.1: 9F xx is the caller's, which asks for the response itself.
        {"9F xx",
         CardMode::Gsm,
         {"9F 0F"},
         [](const Connection& c) { return selectFile(c, 0x6F3A) == std::uint8_t{0x0F}; },
         {"A0 A4 00 00 02 6F 3A"},
         true},
        // GSM 11.11 §9.4.1 and §9.4.2: 91 xx and 92 0x end normally; 92 40 is a memory
        // problem.
        {"91 xx", CardMode::Gsm, {"01 02 03 91 1A"}, readThree, {"A0 B2 01 04 03"}, true},
        {"92 0x", CardMode::Gsm, {"92 02"}, update, {gsmUpdate}, true},
        {"92 40", CardMode::Gsm, {"92 40"}, update, {gsmUpdate}, false, 0x9240},
        // ETSI TS 102 221 §10.2.1.3: 63 Cx after UPDATE is a write that took x retries; a
        // GSM card has no such answer.
        {"63 Cx UICC", CardMode::Uicc, {"63 C1"}, update, {uiccUpdate}, true},
        {"63 Cx GSM", CardMode::Gsm, {"63 C1"}, update, {gsmUpdate}, false},
        // Security status not satisfied and a blocked PIN: refused, and remembered.
        {"69 82", CardMode::Uicc, {"69 82"}, update, {uiccUpdate}, false, 0x6982},
        {"69 83", CardMode::Uicc, {"69 83"}, verify, {uiccVerify}, false, 0x6983},
        {"98 04", CardMode::Gsm, {"98 04"}, update, {gsmUpdate}, false, 0x9804},
        {"98 40", CardMode::Gsm, {"98 40"}, verify, {gsmVerify}, false, 0x9840},
        // ETSI TS 102 221 §10.2.1.4: 6E 00 or 6D 00 to the first command in class A0 make
        // the card a UICC; the command goes again in its UICC form.
        {"6E 00",
         CardMode::Unknown,
         {"6E 00", "90 00"},
         [](const Connection& c) { return selectFile(c, 0x7F10).has_value(); },
         {"A0 A4 00 00 02 7F 10", "00 A4 00 0C 02 7F 10"},
         true},
        {"6D 00", CardMode::Unknown, {"6D 00", "90 00"}, verify, {gsmVerify, uiccVerify}, true},
        {"6E 00 later", CardMode::Gsm, {"6E 00"}, verify, {gsmVerify}, false, 0x6E00},
        {"6A 82",
         CardMode::Uicc,
         {"6A 82"},
         selectWithFcp,
         {"00 A4 00 04 02 6F 3A"},
         false,
         0x6A82},
    };
    for (const Case& c : cases) {
        state().mode = c.mode;
        state().lastRefusal = 0;
        card.sent.clear();
        script(c.answers);
        EXPECT_EQ(c.run(connection), c.ok) << c.name;
        std::vector<std::string> sent;
        for (const Bytes& apdu : card.sent) {
            sent.push_back(hex(apdu));
        }
        EXPECT_EQ(sent, c.sent) << c.name;
        EXPECT_EQ(state().lastRefusal, c.refusal) << c.name;
    }
}

TEST_F(TransportTest, ModeIsSetByTheFirstAnswer) {
    const struct {
        const char* answer;
        CardMode mode;
    } cases[] = {{"9F 1A", CardMode::Gsm},
                 {"94 04", CardMode::Gsm},
                 {"6E 00", CardMode::Uicc},
                 {"6D 00", CardMode::Uicc}};
    for (const auto& c : cases) {
        state().mode = CardMode::Unknown;
        script({c.answer});
        transmit(connection, {0xA4, 0, 0, 2}, std::span(kEfId));
        EXPECT_EQ(state().mode, c.mode) << c.answer;
    }
}

TEST_F(TransportTest, EndlessProcedureBytesEndInAFailure) {
    for (const char* answer : {"61 10", "6C 10"}) {
        state().mode = CardMode::Uicc;
        card.sent.clear();
        script({answer});
        EXPECT_FALSE(transmit(connection, {0xB2, 1, 4, 0x10}, std::nullopt)) << answer;
        EXPECT_LE(card.sent.size(), 8u) << answer;
    }
}

TEST_F(TransportTest, ResponseLongerThanAnAnswerIsRefused) {
    // 61 xx parts adding up to more than 256 bytes would overrun the response.
    state().mode = CardMode::Uicc;
    Bytes part(200, 0x55);
    part.push_back(0x61);
    part.push_back(0xC8);
    auto parts = std::make_shared<int>(0);
    card.answer = [part, parts](const Bytes&) {
        return std::optional<Bytes>(++*parts == 1 ? Bytes{0x61, 0xC8} : part);
    };
    EXPECT_FALSE(transmit(connection, {0xA4, 0, 4, 2}, std::span(kEfId)));
}

TEST_F(TransportTest, SelectWithFcpOverT1SendsLeAndADeactivatedFileIsNotUsed) {
    state().mode = CardMode::Uicc;
    // ISO/IEC 7816-3 case 4 over T=1: Le 00 after the data; the FCP comes at once.
    const Connection t1{1, Protocol::T1};
    script({"62 04 82 02 41 21 90 00"});
    EXPECT_TRUE(selectFileWithFcp(t1, 0x6F3A));
    EXPECT_EQ(hex(card.sent.back()), "00 A4 00 04 02 6F 3A 00");
    // ETSI TS 102 221 §10.2.1.2: 62 83, the file is selected but deactivated.
    state().position = CardPosition{DirectoryPath::of(0x7F10), 0x6F3B};
    script({"62 83"});
    EXPECT_FALSE(selectFileWithFcp(connection, 0x6F3A));
    EXPECT_EQ(state().position, (CardPosition{DirectoryPath::of(0x7F10), 0x6F3A}));
}

} // namespace
} // namespace quenlib::fake
