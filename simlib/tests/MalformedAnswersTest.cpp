// Every export against a card that answers with random bytes of random length: each call
// ends with one of its own codes and leaves the item it filled consistent.
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"

#include <algorithm>
#include <random>
#include <set>

namespace quenlib::fake {
namespace {

class MalformedAnswersTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        card.addFile(0x6F3A, 28, 20);
        card.addFile(0x6F4A, 13, 4);
        card.addFile(0x6F3C, 176, 4);
        card.addFile(0x6F40, 28, 2);
    }

    // Answers about a third of the commands with noise, the rest as the card would.
    void answerWithNoise(unsigned seed) {
        card.answer = [random = std::mt19937(seed)](const Bytes&) mutable {
            if (random() % 3 != 0) {
                return std::optional<Bytes>();
            }
            Bytes noise(random() % 40);
            if (random() % 8 == 0) {
                noise.resize(random() % 270);
            }
            std::generate(noise.begin(), noise.end(),
                          [&] { return static_cast<std::uint8_t>(random()); });
            // Often end with a plausible status word so that the data gets parsed.
            if (noise.size() >= 2 && random() % 2 == 0) {
                noise[noise.size() - 2] = random() % 2 == 0 ? 0x90 : 0x9F;
                noise[noise.size() - 1] = random() % 2 == 0 ? 0x00 : noise.size() % 256;
            }
            return std::optional<Bytes>(noise);
        };
    }
};

TEST_F(MalformedAnswersTest, EveryExportEndsWithItsOwnCodes) {
    connect();
    for (unsigned seed = 0; seed < 300; ++seed) {
        // Start from a sound selection, then let noise into every later step.
        card.answer = nullptr;
        QL_FILE_INFO info{68, 0, 0};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
        answerWithNoise(seed);
        EXPECT_TRUE(
            (std::set{QL_OK, QL_E_SELECT_DF, QL_E_SELECT_EF}).contains(QLADN_SelectFile(&info)));
        for (std::uint32_t index : {0u, 3u, 19u}) {
            QL_ADN_ITEM item{};
            item.index = index;
            const QLRESULT read = QLADN_ReadItemW(&item);
            ASSERT_TRUE(read == QL_OK || read == QL_E_READ) << seed;
            ASSERT_LT(item.nameLength, 256u);
            ASSERT_LT(item.numberLength, 512u);
            if (read == QL_OK) {
                EXPECT_EQ(item.name[item.nameLength], 0);
                EXPECT_EQ(item.number[item.numberLength], 0);
            }
            std::fill_n(item.number, 45, u'7');
            EXPECT_TRUE((std::set{QL_OK, QL_E_READ, QL_E_WRITE}).contains(QLADN_WriteItemW(&item)));
        }
        EXPECT_TRUE((std::set{QL_OK, QL_E_SELECT_EF}).contains(QLADN_Flush()));
        std::uint8_t record[255 + 2]{}; // the longest record and its status word
        EXPECT_TRUE((std::set{QL_OK, QL_E_READ}).contains(QLADN_ReadRecord(1, record)));
        EXPECT_TRUE((std::set{QL_OK, QL_E_WRITE}).contains(QLADN_WriteRecord(1, record)));
        std::uint32_t enabled = 0;
        std::uint32_t attempts = 0;
        QL_PIN_CONTEXT context{};
        EXPECT_TRUE((std::set{QL_OK, QL_E_CHV}).contains(QLSIM_GetPIN1State(&enabled, &attempts)));
        EXPECT_TRUE((std::set{QL_OK, QL_E_CHV}).contains(QLSIM_GetPINContext(&context)));
        EXPECT_LE(attempts, 15u);
        EXPECT_TRUE((std::set{QL_OK, QL_E_CHV}).contains(QLSIM_VerifyPIN1("1234")));

        QL_COUNT_INFO count{};
        EXPECT_TRUE((std::set{QL_OK, QL_E_SELECT_EF}).contains(QLSMS_SelectFile(&count)));
        for (std::uint32_t index : {0u, 3u}) {
            QL_SMS_ITEM message{};
            message.index = index;
            const QLRESULT read = QLSMS_ReadItemW(&message);
            ASSERT_TRUE(read == QL_OK || read == QL_E_READ) << seed;
            ASSERT_LE(message.addressLength, 46u);
            ASSERT_LE(message.textLength, 2 * 255u);
            EXPECT_EQ(message.address[45], 0);
            EXPECT_EQ(message.text[255], 0);
            message.status = 1;
            std::fill_n(message.text, 40, u'x');
            EXPECT_TRUE((std::set{QL_OK, QL_E_WRITE}).contains(QLSMS_WriteItemW(&message)));
        }
        QL_FILE_INFO own{};
        EXPECT_TRUE(
            (std::set{QL_OK, QL_E_SELECT_DF, QL_E_SELECT_EF}).contains(QLISDN_SelectFile(&own)));
        QL_CHAR16 name[256 - 13];
        QL_CHAR16 number[32];
        const QLRESULT ownRead = QLISDN_ReadItemW(1, name, number);
        ASSERT_TRUE(ownRead == QL_OK || ownRead == QL_E_READ) << seed;
        EXPECT_TRUE((std::set{QL_OK, QL_E_WRITE})
                        .contains(QLISDN_WriteItemW(1, test_support::Units(u"A").c_str(),
                                                    test_support::Units(u"+1").c_str())));
    }
}

} // namespace
} // namespace quenlib::fake
