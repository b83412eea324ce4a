// quenlib.dll through the Windows card service (the test winscard.dll) and the virtual card,
// which wine-card-run starts afresh for every test: PIN1 1234, enabled; 250 ADN records of
// 28 bytes, 10 EXT1 records, 10 SMS records of 176 bytes, 2 MSISDN records of 28 bytes.
#include "simlib/include/quenlib.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

class CardServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QLSIM_Init(), QL_OK);
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    }

    void TearDown() override {
        EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
        EXPECT_EQ(QLSIM_Final(), QL_OK);
    }

    static void reconnect() {
        ASSERT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    }

    static QL_ADN_ITEM adnItem(std::uint32_t index, const std::wstring& name = L"",
                               const std::wstring& number = L"") {
        QL_ADN_ITEM item{};
        item.size = sizeof item;
        item.index = index;
        name.copy(item.name, name.size());
        number.copy(item.number, number.size());
        return item;
    }
};

TEST_F(CardServiceTest, ReportsTheReaderAndTheCard) {
    QL_CARD_INFO info{};
    ASSERT_EQ(QLSIM_GetCardInfo(&info), QL_OK);
    EXPECT_STREQ(info.reader, "Tarvik Test Reader 0");
    // simcard's default answer-to-reset: 3B 02 14 50 (ISO/IEC 7816-3 §8.2, T=0).
    ASSERT_EQ(info.atrLength, 4u);
    EXPECT_EQ(std::memcmp(info.atr, "\x3B\x02\x14\x50", 4), 0);
    char iccid[QL_ICCID_SIZE] = {};
    ASSERT_EQ(QLSIM_VerifyPIN1("1234"), QL_OK);
    ASSERT_EQ(QLSIM_GetICCID(iccid, sizeof iccid), QL_OK);
    EXPECT_STREQ(iccid, "8949000000000000017");
}

// GSM 11.11 §9.4.5 (98 04, access condition not fulfilled) and §8.9 (VERIFY CHV): a wrong
// code costs one of the three attempts, the right one restores them.
TEST_F(CardServiceTest, Pin1GuardsThePhonebook) {
    QL_FILE_INFO file{};
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    // Selecting the phonebook reads its extension records, which need CHV1.
    EXPECT_EQ(QLADN_SelectFile(&file), QL_E_SELECT_EF);

    const struct {
        const char* pin;
        QLRESULT result;
        uint32_t attemptsLeft;
    } steps[] = {{"0000", QL_E_CHV, 2}, {"9999", QL_E_CHV, 1}, {"1234", QL_OK, 3}};
    for (const auto& step : steps) {
        EXPECT_EQ(QLSIM_VerifyPIN1(step.pin), step.result) << step.pin;
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
        EXPECT_EQ(enabled, 1u);
        EXPECT_EQ(attempts, step.attemptsLeft) << step.pin;
    }
    ASSERT_EQ(QLADN_SelectFile(&file), QL_OK);
    QL_ADN_ITEM item = adnItem(0);
    EXPECT_EQ(QLADN_ReadItemW(&item), QL_OK);
}

TEST_F(CardServiceTest, PhonebookEntriesSurviveAReconnect) {
    ASSERT_EQ(QLSIM_VerifyPIN1("1234"), QL_OK);
    QL_FILE_INFO file{};
    ASSERT_EQ(QLADN_SelectFile(&file), QL_OK);
    EXPECT_EQ(file.recordCount, 250u);
    EXPECT_EQ(file.recordLength, 28u);

    const struct {
        std::uint32_t index;
        std::wstring name;
        std::wstring number;
    } entries[] = {
        {0, L"Gate", L"0612345678"},
        // UCS2 name (GSM 11.11 Annex B, coding 80: 1 + 2 bytes a character of the 14 the
        // record has for the name) and 45 digits: 20 in the record, the
        // rest in two EXT1 records (GSM 11.11 §10.5.10).
        {1, L"\u00C5se \u0416", L"123456789012345678901234567890123456789012345"},
        {249, L"Last", L"*31#112"},
    };
    for (const auto& entry : entries) {
        QL_ADN_ITEM item = adnItem(entry.index, entry.name, entry.number);
        ASSERT_EQ(QLADN_WriteItemW(&item), QL_OK) << entry.index;
    }
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    reconnect();
    ASSERT_EQ(QLSIM_VerifyPIN1("1234"), QL_OK);
    ASSERT_EQ(QLADN_SelectFile(&file), QL_OK);
    for (const auto& entry : entries) {
        QL_ADN_ITEM item = adnItem(entry.index);
        ASSERT_EQ(QLADN_ReadItemW(&item), QL_OK) << entry.index;
        EXPECT_EQ(std::wstring(item.name, item.nameLength), entry.name);
        EXPECT_EQ(std::wstring(item.number, item.numberLength), entry.number);
    }
}

TEST_F(CardServiceTest, ShortMessagesAndOwnNumbersReadBackAsWritten) {
    ASSERT_EQ(QLSIM_VerifyPIN1("1234"), QL_OK);
    QL_COUNT_INFO messages{};
    ASSERT_EQ(QLSMS_SelectFile(&messages), QL_OK);
    EXPECT_EQ(messages.count, 10u);
    QL_SMS_ITEM sent{};
    sent.index = 3;
    sent.status = QL_SMS_TO_SEND;
    const std::wstring address = L"+31612345678";
    const std::wstring text = L"ARM 1234";
    address.copy(sent.address, address.size());
    text.copy(sent.text, text.size());
    sent.textLength = static_cast<uint32_t>(text.size());
    ASSERT_EQ(QLSMS_WriteItemW(&sent), QL_OK);

    QL_FILE_INFO own{};
    ASSERT_EQ(QLISDN_SelectFile(&own), QL_OK);
    EXPECT_EQ(own.recordCount, 2u);
    ASSERT_EQ(QLISDN_WriteItemW(1, L"Alarm", L"+4712345678"), QL_OK);

    reconnect();
    ASSERT_EQ(QLSIM_VerifyPIN1("1234"), QL_OK);
    ASSERT_EQ(QLSMS_SelectFile(&messages), QL_OK);
    QL_SMS_ITEM read{};
    read.index = 3;
    ASSERT_EQ(QLSMS_ReadItemW(&read), QL_OK);
    EXPECT_EQ(read.status, QL_SMS_TO_SEND);
    EXPECT_EQ(std::wstring(read.address), address);
    EXPECT_EQ(std::wstring(read.text), text);

    ASSERT_EQ(QLISDN_SelectFile(&own), QL_OK);
    wchar_t name[64] = {};
    wchar_t number[64] = {};
    ASSERT_EQ(QLISDN_ReadItemW(1, name, number), QL_OK);
    EXPECT_EQ(std::wstring(name), L"Alarm");
    EXPECT_EQ(std::wstring(number), L"+4712345678");
}

} // namespace
