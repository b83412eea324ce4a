// The case record functions against the simulated card and the sample case module, whose
// DORLIN_RESULT makes every call return a given code and DORLIN_LOG records each call.
#include "simlib/tests/CardText.h"
#include "simlib/tests/LibraryFixture.h"
#include "simlib/tests/TestEnvironment.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quenlib::fake {
namespace {

const Bytes kCaseCardAtr{0x3B, 0x05, 0x00, 0x00, 'D', 'T', 'M'};

class CaseRecordsTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        logPath = folder.path() / "case.log";
        test_support::SetVariable("QUENLIB_CASE_MODULE", DORLIN_MODULE_PATH);
        test_support::SetVariable("DORLIN_LOG", logPath.string().c_str());
        card.atr = kCaseCardAtr;
        card.answer = [this](const Bytes& apdu) -> std::optional<Bytes> {
            if (apdu[1] == 0x0A) {
                return caseCount;
            }
            if (apdu[1] == 0x09) {
                return caseRecord;
            }
            return std::nullopt;
        };
    }

    void TearDown() override {
        LibraryTest::TearDown();
        for (const char* name :
             {"QUENLIB_CASE_MODULE", "DORLIN_LOG", "DORLIN_RESULT", "DORLIN_INIT_RESULT"}) {
            test_support::UnsetVariable(name);
        }
    }

    // The calls the module logged.
    std::vector<std::string> calls() const {
        std::ifstream log(logPath);
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    static QL_CC_ITEM item(const std::u16string& name = u"", const std::u16string& number = u"") {
        QL_CC_ITEM entry{};
        entry.size = sizeof entry;
        std::copy(name.begin(), name.end(), entry.name);
        std::copy(number.begin(), number.end(), entry.number);
        return entry;
    }

    tarvik::testing::TemporaryFolder folder;
    std::filesystem::path logPath;
    Bytes caseCount{0x00, 0x0A, 0x90, 0x00};
    Bytes caseRecord{0x6D, 0x00};
};

TEST_F(CaseRecordsTest, TheCardIsRecognisedByDtmInItsAnswerToReset) {
    EXPECT_EQ(QLCC_IsCcSupport(), QL_E_FAILED); // before Init
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    EXPECT_EQ(QLCC_IsCcSupport(), QL_OK); // without a connection, in the configured reader
    struct Case {
        const char* what;
        Bytes atr;
        bool cardIn;
        PcscCode status;
        QLRESULT result;
    };
    const Case cases[] = {
        {"case card", kCaseCardAtr, true, kPcscSuccess, QL_OK},
        {"plain card", {0x3B, 0x02, 0x14, 0x50}, true, kPcscSuccess, QL_E_FAILED},
        {"DTM elsewhere", {0x3B, 0x05, 'D', 'T', 'M', 0x00, 0x00}, true, kPcscSuccess, QL_E_FAILED},
        {"answer cut short", {0x3B, 0x05, 0x00, 0x00, 'D', 'T'}, true, kPcscSuccess, QL_E_FAILED},
        {"no card", kCaseCardAtr, false, kPcscSuccess, QL_E_FAILED},
        {"reader gone", kCaseCardAtr, true, 0x80100017, QL_E_FAILED},
    };
    connect();
    for (const Case& c : cases) {
        card.atr = c.atr;
        card.cardIn["Fake Reader 00 00"] = c.cardIn;
        card.statusResult = c.status;
        EXPECT_EQ(QLCC_IsCcSupport(), c.result) << c.what;
    }
}

TEST_F(CaseRecordsTest, ModifyAppendAndDeleteCheckConnectionAndSizeBeforeTheModule) {
    test_support::SetVariable("DORLIN_RESULT", "-3");
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    QL_CC_ITEM good = item(u"A", u"1");
    QL_CC_ITEM old = item(u"A", u"1");
    old.size = 1616;
    EXPECT_EQ(QLCC_ModifyItemW(&old, &good), QL_E_NOT_CONNECTED);
    EXPECT_EQ(QLCC_AppendItemW(&old), QL_E_NOT_CONNECTED);
    EXPECT_EQ(QLCC_DeleteItemW(&old), QL_E_NOT_CONNECTED);
    connect();
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    EXPECT_EQ(QLCC_ModifyItemW(&old, &good), QL_E_FAILED);
    EXPECT_EQ(QLCC_ModifyItemW(&good, &old), QL_E_FAILED);
    EXPECT_EQ(QLCC_AppendItemW(&old), QL_E_FAILED);
    EXPECT_EQ(QLCC_DeleteItemW(&old), QL_E_FAILED);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(QLCC_ModifyItemW(&good, &good), QL_E_CASE_3);
    EXPECT_EQ(calls().size(), 1u);
}

TEST_F(CaseRecordsTest, AppendAndDeleteNeedTheCardRecognisedBefore) {
    test_support::SetVariable("DORLIN_RESULT", "-2");
    connect();
    QL_CC_ITEM entry = item(u"A", u"1");
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(QLCC_DeleteItemW(&entry), QL_E_FAILED);
    EXPECT_TRUE(calls().empty());
    // Modify recognises the card itself, and so opens the way for the others.
    EXPECT_EQ(QLCC_ModifyItemW(&entry, &entry), QL_E_CASE_2);
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_CASE_2);
    EXPECT_EQ(QLCC_DeleteItemW(&entry), QL_E_CASE_2);
    // A card that no longer carries the application closes it again.
    card.atr = {0x3B, 0x02, 0x14, 0x50};
    EXPECT_EQ(QLCC_ModifyItemW(&entry, &entry), QL_E_FAILED);
    card.atr = kCaseCardAtr;
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(calls().size(), 3u);
}

TEST_F(CaseRecordsTest, NamesGoToTheModuleAsBigEndianUcs2AndNumbersAsBytes) {
    test_support::SetVariable("DORLIN_RESULT", "-4");
    connect();
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    QL_CC_ITEM entry = item(u"\u0416a", u"+39 12");
    entry.attribute = 7;
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_CASE_APPEND_4);
    EXPECT_EQ(entry.nameLength, 2u);
    EXPECT_EQ(entry.numberLength, 6u);
    QL_CC_ITEM renamed = item(u"B", u"\u0131");
    EXPECT_EQ(QLCC_ModifyItemW(&entry, &renamed), QL_E_CASE_4);
    EXPECT_EQ(QLCC_DeleteItemW(&renamed), QL_E_CASE_4);
    EXPECT_EQ(calls(), (std::vector<std::string>{"AppendCase 04160061 7 2B3339203132",
                                                 "ModifyCase 04160061 2B3339203132 0042 31",
                                                 "DeleteCase 0042 31"}));
}

TEST_F(CaseRecordsTest, SelectFileReportsTheCardsCount) {
    connect();
    QL_COUNT_INFO info{9, 0};
    ASSERT_EQ(QLCC_SelectFile(&info), QL_OK);
    EXPECT_EQ(info.reserved, 9u);
    EXPECT_EQ(info.count, 10u);
    EXPECT_EQ(hex(card.sentWith(0x0A).at(0)), "A0 0A 00 00 02");

    // A card that refuses the count gives no count and no success.
    info.count = 77;
    caseCount = {0x6D, 0x00};
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_FAILED);
    caseCount = {0x01, 0x90, 0x00};
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_FAILED);
    card.transmitFailure = [](const Bytes& apdu) {
        return apdu[1] == 0x0A ? std::optional<PcscCode>(0x80100016) : std::nullopt;
    };
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_FAILED);
    EXPECT_EQ(info.count, 77u);

    card.atr = {0x3B, 0x02, 0x14, 0x50};
    card.transmitFailure = nullptr;
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_FAILED);
    QLSIM_Disconnect(nullptr);
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_NOT_CONNECTED);
}

TEST_F(CaseRecordsTest, ReadHandsTheCardsRecordToTheModule) {
    connect();
    // The sample module's format: "Ann", number 0123, attribute 7.
    caseRecord = {0x00, 0x41, 0x00, 0x6E, 0x00, 0x6E, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x32, 0xFF, 0xFF,
                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x90, 0x00};
    QL_CC_ITEM entry = item();
    entry.caseNumber = 0x0102;
    std::fill(std::begin(entry.name), std::end(entry.name), u'Z');
    ASSERT_EQ(QLCC_ReadItemW(&entry), QL_OK);
    EXPECT_EQ(hex(card.sentWith(0x09).at(0)), "A0 09 01 02 20");
    EXPECT_EQ(test_support::Text(entry.name), u"Ann");
    EXPECT_EQ(entry.nameLength, 6u); // bytes, as the module counts them
    EXPECT_EQ(test_support::Text(entry.number), u"0123");
    EXPECT_EQ(entry.numberLength, 4u);
    EXPECT_EQ(entry.attribute, 7u);

    caseRecord = {0x94, 0x02};
    EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_FAILED);
    caseRecord = Bytes(30, 0x00);
    caseRecord.insert(caseRecord.end(), {0x90, 0x00}); // 30 bytes instead of 32
    EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_FAILED);
    QLSIM_Disconnect(nullptr);
    EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_FAILED);
}

TEST_F(CaseRecordsTest, WithoutAWorkingModuleEveryItemFunctionFails) {
    for (const char* setting : {"module missing", "Init refuses"}) {
        if (std::string(setting) == "module missing") {
            test_support::SetVariable("QUENLIB_CASE_MODULE", "/nonexistent/libdorlin.so");
        } else {
            test_support::SetVariable("QUENLIB_CASE_MODULE", DORLIN_MODULE_PATH);
            test_support::SetVariable("DORLIN_INIT_RESULT", "1");
        }
        connect();
        ASSERT_EQ(QLCC_IsCcSupport(), QL_OK) << setting; // the card is what it is
        QL_CC_ITEM entry = item(u"A", u"1");
        EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_FAILED) << setting;
        EXPECT_EQ(QLCC_ModifyItemW(&entry, &entry), QL_E_FAILED) << setting;
        EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_FAILED) << setting;
        EXPECT_EQ(QLCC_DeleteItemW(&entry), QL_E_FAILED) << setting;
        EXPECT_TRUE(calls().empty()) << setting;
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
}

// A case command or the module may select files of its own on the card, so the next short
// message read selects EF SMS again instead of reading whatever file is current.
TEST_F(CaseRecordsTest, AfterACaseCallTheNextRecordAccessSelectsItsFileAgain) {
    test_support::SetVariable("DORLIN_RESULT", "-1");
    card.addFile(0x6F3C, 176, 2);
    connect();
    QL_COUNT_INFO messages{};
    ASSERT_EQ(QLSMS_SelectFile(&messages), QL_OK);
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    QL_CC_ITEM entry = item(u"A", u"1");
    QL_COUNT_INFO count{};
    const std::pair<const char*, std::function<void()>> caseCalls[] = {
        {"count", [&] { QLCC_SelectFile(&count); }},
        {"read", [&] { QLCC_ReadItemW(&entry); }},
        {"modify", [&] { QLCC_ModifyItemW(&entry, &entry); }},
        {"append", [&] { QLCC_AppendItemW(&entry); }},
        {"delete", [&] { QLCC_DeleteItemW(&entry); }},
    };
    for (const auto& [what, call] : caseCalls) {
        QL_SMS_ITEM message{};
        ASSERT_EQ(QLSMS_ReadItemW(&message), QL_OK);
        call();
        card.sent.clear();
        ASSERT_EQ(QLSMS_ReadItemW(&message), QL_OK);
        EXPECT_EQ(card.sentWith(0xA4).size(), 2u) << what;
    }
}

TEST_F(CaseRecordsTest, FinalUnloadsTheModule) {
    test_support::SetVariable("DORLIN_RESULT", "-1");
    caseRecord = Bytes(32, 0x00);
    caseRecord.insert(caseRecord.end(), {0x90, 0x00});
    connect();
    QL_CC_ITEM entry = item();
    EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_CASE);
    QLSIM_Final();
    // Without Init there is no module, whatever the connection.
    EXPECT_EQ(QLCC_ReadItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(calls().size(), 1u);
}

} // namespace
} // namespace quenlib::fake
