// The card's identification number: EF ICCID (GSM 11.11 10.1.1) under the MF, 10 bytes
// of BCD digits, each byte low nibble first, F as filler.
#include "simlib/Iccid.h"

#include "simlib/tests/AdnEntries.h"
#include "simlib/tests/LibraryFixture.h"

#include <optional>
#include <string>
#include <vector>

namespace quenlib::fake {
namespace {

TEST(IccidDigits, AreTheSwappedNibblesUpToTheFiller) {
    struct Case {
        Bytes bytes;
        std::optional<std::string> digits;
    };
    const std::vector<Case> cases = {
        {{0x98, 0x94, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0xF7}, "8949000000000000017"},
        {{0x98, 0x39, 0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65}, "89931234567890123456"},
        {{0x98, 0x94, 0xFF, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, "8949"},
        // Nibbles A to E are no digits; a record without digits is no number.
        {{0x98, 0x9A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0}, std::nullopt},
        {Bytes(10, 0xFF), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeIccid(c.bytes), c.digits) << hex(c.bytes);
    }
}

class IccidTest : public LibraryTest, protected test_support::AdnEntries {
protected:
    // The card answers SELECT of the MF and of EF ICCID, and READ BINARY with `iccid`.
    void answerIccid(std::optional<Bytes> iccid) {
        card.answer = [iccid](const Bytes& apdu) -> std::optional<Bytes> {
            if (apdu == Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00}) {
                return Bytes{0x9F, 0x22};
            }
            if (apdu == Bytes{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x2F, 0xE2}) {
                return iccid ? Bytes{0x9F, 0x0F} : Bytes{0x94, 0x04};
            }
            if (iccid && apdu == Bytes{0xA0, 0xB0, 0x00, 0x00, 0x0A}) {
                Bytes answer = *iccid;
                answer.insert(answer.end(), {0x90, 0x00});
                return answer;
            }
            return std::nullopt;
        };
    }
};

TEST_F(IccidTest, ReadsEfIccidUnderTheMasterFile) {
    card.addFile(0x6F3A, 28, 10);
    connect();
    answerIccid(Bytes{0x98, 0x94, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0xF7});
    char digits[QL_ICCID_SIZE];
    ASSERT_EQ(QLSIM_GetICCID(digits, sizeof digits), QL_OK);
    EXPECT_STREQ(digits, "8949000000000000017");
    EXPECT_EQ(card.sent, (std::vector<Bytes>{{0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00},
                                             {0xA0, 0xA4, 0x00, 0x00, 0x02, 0x2F, 0xE2},
                                             {0xA0, 0xB0, 0x00, 0x00, 0x0A}}));
    // The phonebook is found again after it.
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    EXPECT_EQ(read(0), "=");
}

TEST_F(IccidTest, FailuresHaveTheirCodesAndLeaveTheBufferAlone) {
    struct Case {
        const char* what;
        bool connected;
        std::optional<Bytes> iccid;
        std::uint32_t size;
        QLRESULT result;
        std::size_t sent;
    };
    const std::vector<Case> cases = {
        {"not connected", false, Bytes(10, 0x11), QL_ICCID_SIZE, QL_E_NOT_CONNECTED, 0},
        {"no EF ICCID", true, std::nullopt, QL_ICCID_SIZE, QL_E_SELECT_EF, 2},
        {"no digits", true, Bytes(10, 0xFF), QL_ICCID_SIZE, QL_E_READ, 3},
        {"buffer too short", true, Bytes(10, 0x11), QL_ICCID_SIZE - 1, QL_E_FAILED, 0},
    };
    for (const Case& c : cases) {
        if (c.connected) {
            connect();
        }
        answerIccid(c.iccid);
        card.sent.clear();
        char digits[QL_ICCID_SIZE] = "untouched";
        EXPECT_EQ(QLSIM_GetICCID(digits, c.size), c.result) << c.what;
        EXPECT_STREQ(digits, "untouched") << c.what;
        EXPECT_EQ(card.sent.size(), c.sent) << c.what;
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
    EXPECT_EQ(QLSIM_GetICCID(nullptr, QL_ICCID_SIZE), QL_E_FAILED);
}

} // namespace
} // namespace quenlib::fake
