// Case records through libquenlib.so, the sample case module libdorlin.so and a virtual case
// card: the module changes the card's case records over the library's own connection.
#include "base/Hex.h"
#include "simlib/tests/RealCardFixture.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace quenlib::card {
namespace {

// "Ann", number 0123, attribute 7, in the sample module's 32-byte format.
const std::string kAnn = "0041006E006EFFFFFFFFFFFFFFFFFFFFFFFFFFFF1032FFFFFFFFFFFFFFFFFF07";

class CaseCardTest : public RealCardTest {
protected:
    void SetUp() override {
        logPath = folder.path() / "case-card.log";
        ::setenv("QUENLIB_CASE_MODULE", DORLIN_MODULE_PATH, 1);
        ::setenv("DORLIN_LOG", logPath.c_str(), 1);
    }

    void TearDown() override {
        RealCardTest::TearDown();
        for (const char* name : {"QUENLIB_CASE_MODULE", "DORLIN_LOG", "DORLIN_RESULT"}) {
            ::unsetenv(name);
        }
    }

    // A case card with four case records, record 0 holding Ann.
    void startCaseCard(std::vector<std::string> more = {}) {
        simcard::CardOptions options = pinDisabled();
        options.extraArguments = {"--case-card", "--case-slots", "4", "--case", "0:" + kAnn};
        options.extraArguments.insert(options.extraArguments.end(), more.begin(), more.end());
        startCard(options);
        ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    }

    std::size_t moduleCalls() const {
        std::ifstream log(logPath);
        std::size_t lines = 0;
        for (std::string line; std::getline(log, line);) {
            ++lines;
        }
        return lines;
    }

    static QL_CC_ITEM item(std::uint16_t caseNumber, const std::u16string& name = u"",
                           const std::u16string& number = u"") {
        QL_CC_ITEM entry{};
        entry.size = sizeof entry;
        entry.caseNumber = caseNumber;
        std::copy(name.begin(), name.end(), entry.name);
        std::copy(number.begin(), number.end(), entry.number);
        return entry;
    }

    // A case as "NAME=NUMBER/ATTRIBUTE", or the name of the failure.
    static std::string read(std::uint16_t caseNumber) {
        QL_CC_ITEM entry = item(caseNumber);
        const QLRESULT result = QLCC_ReadItemW(&entry);
        if (result != QL_OK) {
            return QL_CodeName(result);
        }
        const std::u16string name(entry.name);
        const std::u16string number(entry.number);
        return std::string(name.begin(), name.end()) + "=" +
               std::string(number.begin(), number.end()) + "/" + std::to_string(entry.attribute);
    }

    tarvik::testing::TemporaryFolder folder;
    std::filesystem::path logPath;
};

TEST_F(CaseCardTest, CaseRecordsAreCountedReadAndChangedThroughTheModule) {
    startCaseCard();
    EXPECT_EQ(QLCC_IsCcSupport(), QL_OK);
    QL_COUNT_INFO info{0, 0};
    ASSERT_EQ(QLCC_SelectFile(&info), QL_OK);
    EXPECT_EQ(info.count, 4u);
    EXPECT_EQ(read(0), "Ann=0123/7");
    EXPECT_EQ(read(1), "QL_E_CASE_READ_2"); // the module: a free record
    EXPECT_EQ(read(4), "QL_E_FAILED");      // the card: no such record

    QL_CC_ITEM bob = item(0, u"Bob", u"*12#");
    bob.attribute = 3;
    ASSERT_EQ(QLCC_AppendItemW(&bob), QL_OK);
    EXPECT_EQ(read(1), "Bob=*12#/3");
    // The module wrote the record in its format: "Bob", *12# in BCD, attribute 3.
    EXPECT_EQ(tarvik::ToHex(simcard::CardImage::load(card->imagePath()).caseRecord(1)),
              "0042006F0062" + std::string(28, 'F') + "1AB2" + std::string(18, 'F') + "03");

    QL_CC_ITEM robert = item(0, u"Robert", u"555");
    ASSERT_EQ(QLCC_ModifyItemW(&bob, &robert), QL_OK);
    EXPECT_EQ(read(1), "Robert=555/3");
    EXPECT_EQ(QLCC_ModifyItemW(&bob, &robert), QL_E_CASE_3); // Bob is gone
    EXPECT_EQ(QLCC_DeleteItemW(&robert), QL_OK);
    EXPECT_EQ(read(1), "QL_E_CASE_READ_2");
    EXPECT_EQ(QLCC_DeleteItemW(&robert), QL_E_CASE_3);

    // A name too long for the format, and a card with no free record left.
    QL_CC_ITEM tooLong = item(0, u"Maximilianus", u"1");
    EXPECT_EQ(QLCC_AppendItemW(&tooLong), QL_E_CASE_APPEND_3);
    for (const char16_t* name : {u"B", u"C", u"D"}) {
        QL_CC_ITEM entry = item(0, name, u"1");
        ASSERT_EQ(QLCC_AppendItemW(&entry), QL_OK);
    }
    QL_CC_ITEM fifth = item(0, u"E", u"1");
    EXPECT_EQ(QLCC_AppendItemW(&fifth), QL_E_CASE_APPEND_4);
}

TEST_F(CaseCardTest, EveryModuleResultHasItsCode) {
    struct Case {
        const char* result;
        QLRESULT read;
        QLRESULT modify;
        QLRESULT append;
        QLRESULT remove;
    };
    const Case cases[] = {
        {"-1", QL_E_CASE, QL_E_CASE, QL_E_CASE, QL_E_CASE},
        {"-2", QL_E_CASE_READ_2, QL_E_CASE_2, QL_E_CASE_2, QL_E_CASE_2},
        {"-3", QL_E_FAILED, QL_E_CASE_3, QL_E_CASE_APPEND_3, QL_E_CASE_3},
        {"-4", QL_E_FAILED, QL_E_CASE_4, QL_E_CASE_APPEND_4, QL_E_CASE_4},
        {"-5", QL_E_FAILED, QL_E_CASE_5, QL_E_FAILED, QL_E_CASE_5},
        {"-6", QL_E_FAILED, QL_E_CASE_6, QL_E_FAILED, QL_E_CASE_6},
        {"-7", QL_E_FAILED, QL_E_FAILED, QL_E_FAILED, QL_E_FAILED},
        {"1", QL_E_FAILED, QL_E_FAILED, QL_E_FAILED, QL_E_FAILED},
    };
    startCaseCard();
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    for (const Case& c : cases) {
        ::setenv("DORLIN_RESULT", c.result, 1);
        QL_CC_ITEM entry = item(0, u"Ann", u"0123");
        QL_CC_ITEM other = item(0, u"Bea", u"1");
        EXPECT_EQ(QLCC_ReadItemW(&entry), c.read) << c.result;
        EXPECT_EQ(QLCC_ModifyItemW(&entry, &other), c.modify) << c.result;
        EXPECT_EQ(QLCC_AppendItemW(&entry), c.append) << c.result;
        EXPECT_EQ(QLCC_DeleteItemW(&entry), c.remove) << c.result;
    }
    EXPECT_EQ(moduleCalls(), 4 * std::size(cases));
    // The card never changed.
    ::unsetenv("DORLIN_RESULT");
    EXPECT_EQ(read(0), "Ann=0123/7");
}

TEST_F(CaseCardTest, ASizeWordOf1616IsRefusedWithoutCallingTheModule) {
    startCaseCard();
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    QL_CC_ITEM ann = item(0, u"Ann", u"0123");
    QL_CC_ITEM phonebookSized = item(0, u"Bea", u"1");
    phonebookSized.size = 1616;
    EXPECT_EQ(QLCC_ModifyItemW(&ann, &phonebookSized), QL_E_FAILED);
    EXPECT_EQ(QLCC_ModifyItemW(&phonebookSized, &ann), QL_E_FAILED);
    EXPECT_EQ(QLCC_AppendItemW(&phonebookSized), QL_E_FAILED);
    EXPECT_EQ(QLCC_DeleteItemW(&phonebookSized), QL_E_FAILED);
    EXPECT_EQ(moduleCalls(), 0u);
    EXPECT_EQ(read(0), "Ann=0123/7");
}

TEST_F(CaseCardTest, ACardWithoutDtmInItsAnswerToResetHasNoCaseRecords) {
    // The card has the commands but announces itself as a plain SIM.
    startCaseCard({"--atr", "3B021450"});
    EXPECT_EQ(QLCC_IsCcSupport(), QL_E_FAILED);
    QL_COUNT_INFO info{0, 99};
    EXPECT_EQ(QLCC_SelectFile(&info), QL_E_FAILED);
    EXPECT_EQ(info.count, 99u);
    EXPECT_EQ(read(0), "QL_E_FAILED");
    QL_CC_ITEM entry = item(0, u"Ann", u"0123");
    EXPECT_EQ(QLCC_ModifyItemW(&entry, &entry), QL_E_FAILED);
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(QLCC_DeleteItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(moduleCalls(), 0u);
}

TEST_F(CaseCardTest, WithoutTheModuleOnlyRecognitionWorks) {
    ::setenv("QUENLIB_CASE_MODULE", (logPath.parent_path() / "no-such-module.so").c_str(), 1);
    startCaseCard();
    EXPECT_EQ(QLCC_IsCcSupport(), QL_OK);
    QL_COUNT_INFO info{0, 0};
    // The count needs the module, or the card recognised before: this one was.
    EXPECT_EQ(QLCC_SelectFile(&info), QL_OK);
    EXPECT_EQ(info.count, 4u);
    EXPECT_EQ(read(0), "QL_E_FAILED");
    QL_CC_ITEM entry = item(0, u"Ann", u"0123");
    EXPECT_EQ(QLCC_ModifyItemW(&entry, &entry), QL_E_FAILED);
    EXPECT_EQ(QLCC_AppendItemW(&entry), QL_E_FAILED);
    EXPECT_EQ(QLCC_DeleteItemW(&entry), QL_E_FAILED);
    // The phonebook is unaffected.
    QL_FILE_INFO phonebook{68, 0, 0};
    EXPECT_EQ(QLADN_SelectFile(&phonebook), QL_OK);
}

TEST_F(CaseCardTest, NoCardInTheReaderIsNoCaseCard) {
    startCaseCard();
    ASSERT_EQ(QLCC_IsCcSupport(), QL_OK);
    QLSIM_Disconnect(nullptr);
    card->remove();
    EXPECT_EQ(QLCC_IsCcSupport(), QL_E_FAILED);
    EXPECT_EQ(read(0), "QL_E_FAILED");
}

} // namespace
} // namespace quenlib::card
