#include "simlib/tests/LibraryFixture.h"
#include "simlib/tests/TestEnvironment.h"

#include <cstdlib>
#include <functional>

namespace quenlib::fake {
namespace {

using ConnectionTest = LibraryTest;

TEST_F(ConnectionTest, InitWithoutContextFailsAndConnectRefuses) {
    card.contextResult = 0x8010001D; // no service
    EXPECT_EQ(QLSIM_Init(), QL_E_NO_CONTEXT);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_NO_CONTEXT);
    EXPECT_TRUE(card.connectModes.empty());
}

TEST_F(ConnectionTest, ConnectBeforeInitRefusesWithoutCallingPcsc) {
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_NO_CONTEXT);
    EXPECT_TRUE(card.connectModes.empty());
}

TEST_F(ConnectionTest, ConnectFailuresMapToTheirCodes) {
    struct Case {
        PcscCode pcsc;
        QLRESULT result;
    };
    const Case cases[] = {
        {kPcscRemovedCard, QL_E_CARD_REMOVED},
        {kPcscSharingViolation, QL_E_SHARING},
        {kPcscNoSmartcard, QL_E_CONNECT},
        {0x80100017, QL_E_CONNECT}, // reader unavailable
    };
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    for (const Case& c : cases) {
        card.connectResults.assign(card.connectModes.size(), kPcscSuccess);
        card.connectResults.push_back(c.pcsc);
        EXPECT_EQ(QLSIM_Connect(nullptr), c.result) << QL_CodeName(c.result);
        EXPECT_EQ(QLADN_Flush(), QL_E_NOT_CONNECTED);
    }
}

TEST_F(ConnectionTest, ConnectsExclusivelyToTheFirstReaderHoldingACard) {
    card.readers = {"Empty Reader", "Full Reader"};
    card.cardIn = {{"Empty Reader", false}, {"Full Reader", true}};
    connect();
    ASSERT_EQ(card.connectedReaders.size(), 1u);
    EXPECT_EQ(card.connectedReaders[0], "Full Reader");
    EXPECT_EQ(card.connectModes[0], ShareMode::Exclusive);
}

TEST_F(ConnectionTest, NoReaderWithACardFailsWithoutConnecting) {
    card.cardIn = {{"Fake Reader 00 00", false}};
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_CONNECT);
    card.readers.clear();
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_CONNECT);
    EXPECT_TRUE(card.connectModes.empty());
}

TEST_F(ConnectionTest, ReaderNameComesFromTheEnvironment) {
    test_support::SetVariable("QUENLIB_READER", "Named Reader 01");
    const QLRESULT init = QLSIM_Init();
    test_support::UnsetVariable("QUENLIB_READER");
    ASSERT_EQ(init, QL_OK);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    ASSERT_EQ(card.connectedReaders.size(), 1u);
    EXPECT_EQ(card.connectedReaders[0], "Named Reader 01");
}

TEST_F(ConnectionTest, OtherProtocolGetsOneSharedEjectAndAnotherExclusiveAttempt) {
    card.connectProtocols = {Protocol::Raw, Protocol::Raw, Protocol::T1};
    connect();
    EXPECT_EQ(card.connectModes,
              (std::vector{ShareMode::Exclusive, ShareMode::Shared, ShareMode::Exclusive}));
    EXPECT_EQ(card.disconnects, (std::vector{Disposition::LeaveCard, Disposition::EjectCard}));
}

TEST_F(ConnectionTest, RetryStillWithoutT0OrT1FailsAsConnect) {
    card.connectProtocols = {Protocol::Raw, Protocol::Raw, Protocol::Undefined};
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_CONNECT);
    EXPECT_EQ(QLSIM_VerifyPIN1("1234"), QL_E_NOT_CONNECTED);
    // The handle of the last attempt is not kept open.
    EXPECT_EQ(card.disconnects.size(), 3u);
}

TEST_F(ConnectionTest, DisconnectWithoutConnectionMakesNoCall) {
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    connect();
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    EXPECT_EQ(card.disconnects, std::vector{Disposition::EjectCard});
}

TEST_F(ConnectionTest, SecondConnectReleasesTheFirstConnection) {
    connect();
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(card.disconnects.size(), 1u);
}

TEST_F(ConnectionTest, DisconnectForgetsTheSelectedPhonebook) {
    card.addFile(0x6F3A, 28, 10);
    connect();
    QL_FILE_INFO info{68, 0, 0};
    ASSERT_EQ(QLADN_SelectFile(&info), QL_OK);
    QLSIM_Disconnect(nullptr);
    QL_ADN_ITEM item{};
    EXPECT_EQ(QLADN_ReadItemW(&item), QL_E_NOT_CONNECTED);
    // A new connection needs a new selection before records can be read.
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(QLADN_ReadItemW(&item), QL_E_READ);
}

TEST_F(ConnectionTest, CardExportsRefuseWithoutConnectionAndSendNothing) {
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    QL_FILE_INFO info{};
    QL_ADN_ITEM item{};
    QL_PIN_CONTEXT context{};
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    uint8_t record[64]{};
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    const std::function<QLRESULT()> calls[] = {
        [] { return QLSIM_VerifyPIN1("1234"); },
        [] { return QLSIM_ChangePIN1("1234", "4321"); },
        [] { return QLSIM_UnblockPIN1("12345678", "1234"); },
        [] { return QLSIM_DisablePIN1("1234"); },
        [] { return QLSIM_EnablePIN1("1234"); },
        [&] { return QLSIM_GetPIN1State(&enabled, &attempts); },
        [&] { return QLSIM_GetPINContext(&context); },
        [&] { return QLADN_SelectFile(&info); },
        [&] { return QLADN_ReadItemW(&item); },
        [&] { return QLADN_WriteItemW(&item); },
        [] { return QLADN_Flush(); },
        [&] { return QLADN_ReadRecord(0, record); },
        [&] { return QLADN_WriteRecord(0, record); },
        [&] { return QLADN_ReadExt1BufP(&buffer, &size); },
        [&] { return QLADN_WriteExt1Buf(record, 13); },
    };
    for (const auto& call : calls) {
        EXPECT_EQ(call(), QL_E_NOT_CONNECTED);
    }
    EXPECT_TRUE(card.sent.empty());
}

TEST_F(ConnectionTest, NullRecordsAndBuffersFailAndSendNothing) {
    card.addFile(0x6F3A, 28, 10);
    connect();
    QL_ADN_ITEM item{};
    uint32_t word = 0;
    uint8_t* buffer = nullptr;
    const std::function<QLRESULT()> calls[] = {
        [] { return QLSIM_VerifyPIN1(nullptr); },
        [] { return QLSIM_ChangePIN1("1234", nullptr); },
        [] { return QLSIM_ChangePIN1(nullptr, "1234"); },
        [] { return QLSIM_UnblockPIN1(nullptr, "1234"); },
        [] { return QLSIM_DisablePIN1(nullptr); },
        [] { return QLSIM_EnablePIN1(nullptr); },
        [&] { return QLSIM_GetPIN1State(nullptr, &word); },
        [&] { return QLSIM_GetPIN1State(&word, nullptr); },
        [] { return QLSIM_GetPINContext(nullptr); },
        [] { return QLADN_SelectFile(nullptr); },
        [] { return QLADN_ReadItemW(nullptr); },
        [] { return QLADN_WriteItemW(nullptr); },
        [] { return QLADN_ReadRecord(0, nullptr); },
        [] { return QLADN_WriteRecord(0, nullptr); },
        [&] { return QLADN_ReadExt1BufP(nullptr, &word); },
        [&] { return QLADN_ReadExt1BufP(&buffer, nullptr); },
        [] { return QLADN_WriteExt1Buf(nullptr, 13); },
    };
    for (const auto& call : calls) {
        EXPECT_EQ(call(), QL_E_FAILED);
    }
    EXPECT_TRUE(card.sent.empty());
    EXPECT_EQ(word, 0u);
    (void)item;
}

TEST_F(ConnectionTest, StatusIsNeverSupported) {
    for (uint32_t argument : {0u, 1u, 0xFFFFFFFFu}) {
        EXPECT_EQ(QLSIM_Status(argument), QL_E_FAILED);
        EXPECT_EQ(QLSIM_StatusChange(argument), QL_E_FAILED);
    }
}

TEST_F(ConnectionTest, FinalReleasesTheContextOnce) {
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    EXPECT_EQ(QLSIM_Final(), QL_OK);
    EXPECT_EQ(QLSIM_Final(), QL_OK);
    EXPECT_EQ(card.contextsReleased, 1);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_NO_CONTEXT);
}

TEST_F(ConnectionTest, SecondInitKeepsTheContextButRereadsTheReaderName) {
    ASSERT_EQ(QLSIM_Init(), QL_OK);
    test_support::SetVariable("QUENLIB_READER", "Later Reader");
    const QLRESULT second = QLSIM_Init();
    test_support::UnsetVariable("QUENLIB_READER");
    EXPECT_EQ(second, QL_OK);
    EXPECT_EQ(card.contextsEstablished, 1);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(card.connectedReaders.back(), "Later Reader");
}

TEST(CodeNames, EveryNamedCodeHasItsName) {
    EXPECT_STREQ(QL_CodeName(QL_OK), "QL_OK");
    EXPECT_STREQ(QL_CodeName(0xA0000006u), "QL_E_NOT_CONNECTED");
    EXPECT_STREQ(QL_CodeName(0xA000000Du), "QL_E_SELECT_EF");
    EXPECT_STREQ(QL_CodeName(0xA0000003u), "unknown");
}

} // namespace
} // namespace quenlib::fake
