// The phonebook of a UICC that refuses class A0, in each place a USIM may keep it: EF ADN
// under DF Telecom, the global phonebook DF Telecom/5F3A and the USIM's local one
// ADF.USIM/5F3A, the last two named by EF_PBR (3GPP TS 31.102 §4.4.2). The virtual card's
// UICC answers; the library finds the files and works on them as on a GSM SIM.
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace quenlib::fake {
namespace {

using simcard::PhonebookLayout;

class UiccPhonebookTest : public ::testing::Test {
protected:
    void TearDown() override {
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
        state() = LibraryState{};
        setCardBackend(nullptr);
    }

    void connect(PhonebookLayout layout, bool localToo = false) {
        simcard::CardSettings settings;
        settings.uicc = true;
        settings.phonebook = layout;
        settings.localPhonebook = localToo;
        settings.pin1Enabled = false;
        settings.adnRecords = 20;
        settings.ext1Records = 4;
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
        state() = LibraryState{};
        card = std::make_unique<FakeCard>(settings);
        setCardBackend(card.get());
        ASSERT_EQ(QLSIM_Init(), QL_OK);
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    }

    static QL_ADN_ITEM item(std::uint32_t index, std::u16string_view name = {},
                            std::u16string_view number = {}) {
        QL_ADN_ITEM entry{};
        entry.size = sizeof entry;
        entry.index = index;
        std::copy(name.begin(), name.end(), entry.name);
        std::copy(number.begin(), number.end(), entry.number);
        return entry;
    }

    // How many SELECTs asked for each file's FCP (P2 = 04).
    std::map<std::string, int> fcpRequests() const {
        std::map<std::string, int> requests;
        for (const Bytes& apdu : card->sentWith(0xA4)) {
            if (apdu.size() == 7 && apdu[3] == 0x04) {
                ++requests[hex({apdu[5], apdu[6]})];
            }
        }
        return requests;
    }

    std::unique_ptr<FakeCard> card;
};

TEST_F(UiccPhonebookTest, EachLayoutIsFoundAndWorksAsOnAGsmSim) {
    const struct {
        PhonebookLayout layout;
        std::uint32_t place;
        std::uint16_t adn;
        std::uint16_t ext1;
    } cases[] = {
        {PhonebookLayout::Telecom, QL_PHONEBOOK_TELECOM, 0x6F3A, 0x6F4A},
        {PhonebookLayout::Global, QL_PHONEBOOK_GLOBAL, 0x4F3A, 0x4F4A},
        {PhonebookLayout::Local, QL_PHONEBOOK_LOCAL, 0x4F3A, 0x4F4A},
    };
    const std::u16string longNumber(40, u'7'); // reaches EF EXT1
    for (const auto& c : cases) {
        connect(c.layout);
        QL_FILE_INFO info{};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK) << c.place;
        EXPECT_EQ(info.recordCount, 20u);
        EXPECT_EQ(info.recordLength, 28u);
        QL_ADN_ITEM written = item(3, u"TK1", longNumber);
        ASSERT_EQ(QLADN_WriteItemW(&written), QL_OK) << c.place;
        ASSERT_EQ(QLADN_Flush(), QL_OK) << c.place;

        // A new connection reads back what was written, the extension chain included.
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK) << c.place;
        QL_ADN_ITEM read = item(3);
        ASSERT_EQ(QLADN_ReadItemW(&read), QL_OK) << c.place;
        EXPECT_EQ(test_support::Text(read.name), u"TK1");
        EXPECT_EQ(test_support::Text(read.number), longNumber);

        QL_CARD_INFO described{};
        ASSERT_EQ(QLSIM_GetCardInfo(&described), QL_OK);
        EXPECT_EQ(described.kind, QL_CARD_UICC);
        EXPECT_EQ(described.phonebook, c.place);
        EXPECT_EQ(described.adnFileId, c.adn);
        EXPECT_EQ(described.ext1FileId, c.ext1);
        EXPECT_EQ(described.localPhonebook, 0u);
        // Only the first command of each connection went out in class A0.
        EXPECT_EQ(std::count_if(card->sent.begin(), card->sent.end(),
                                [](const Bytes& apdu) { return apdu[0] == 0xA0; }),
                  2)
            << c.place;
    }
}

TEST_F(UiccPhonebookTest, EachFileGivesItsFcpOncePerConnection) {
    connect(PhonebookLayout::Global);
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    for (std::uint32_t index = 0; index < 3; ++index) {
        QL_ADN_ITEM entry = item(index, u"TL", u"0612345678");
        ASSERT_EQ(QLADN_WriteItemW(&entry), QL_OK);
    }
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    for (const auto& [file, count] : fcpRequests()) {
        EXPECT_EQ(count, 1) << file;
    }
    EXPECT_EQ(fcpRequests().count("4F 3A"), 1u);
}

TEST_F(UiccPhonebookTest, ShortMessagesOwnNumbersAndIccidAreReadOnAUicc) {
    connect(PhonebookLayout::Local);
    QL_COUNT_INFO messages{};
    EXPECT_EQ(QLSMS_SelectFile(&messages), QL_OK);
    EXPECT_EQ(messages.count, 10u);
    QL_FILE_INFO own{};
    EXPECT_EQ(QLISDN_SelectFile(&own), QL_OK);
    EXPECT_EQ(own.recordCount, 2u);
    char iccid[QL_ICCID_SIZE] = {};
    EXPECT_EQ(QLSIM_GetICCID(iccid, sizeof iccid), QL_OK);
    EXPECT_STREQ(iccid, "8949000000000000017");
}

TEST_F(UiccPhonebookTest, CardInfoTellsOfALocalPhonebookBesidesTheOneUsed) {
    const struct {
        PhonebookLayout layout;
        bool localToo;
        std::uint32_t expected;
    } cases[] = {
        {PhonebookLayout::Telecom, true, 1},
        {PhonebookLayout::Global, true, 1},
        {PhonebookLayout::Global, false, 0},
        {PhonebookLayout::Local, false, 0}, // the one used is the local one
    };
    for (const auto& c : cases) {
        connect(c.layout, c.localToo);
        QL_FILE_INFO info{};
        ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
        QL_CARD_INFO described{};
        ASSERT_EQ(QLSIM_GetCardInfo(&described), QL_OK);
        EXPECT_EQ(described.localPhonebook, c.expected);
        // The phonebook found stays the one the library writes.
        QL_ADN_ITEM entry = item(0, u"TL1", u"1");
        EXPECT_EQ(QLADN_WriteItemW(&entry), QL_OK);
    }
}

TEST_F(UiccPhonebookTest, GsmSimIsNoUicc) {
    simcard::CardSettings settings;
    settings.pin1Enabled = false;
    card = std::make_unique<FakeCard>(settings);
    state() = LibraryState{};
    setCardBackend(card.get());
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    QL_FILE_INFO info{};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    QL_CARD_INFO described{};
    ASSERT_EQ(QLSIM_GetCardInfo(&described), QL_OK);
    EXPECT_EQ(described.kind, QL_CARD_GSM);
    EXPECT_EQ(described.phonebook, QL_PHONEBOOK_TELECOM);
    EXPECT_EQ(described.localPhonebook, 0u);
    // Its dialogue is GSM 11.11's only: class A0 throughout but the one question asked
    // in class 00 to tell it from a UICC.
    EXPECT_EQ(std::count_if(card->sent.begin(), card->sent.end(),
                            [](const Bytes& apdu) { return apdu[0] != 0xA0; }),
              1);
}

} // namespace
} // namespace quenlib::fake
