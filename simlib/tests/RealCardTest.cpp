// libquenlib.so through pcscd, the vpcd driver and the virtual card.
#include "base/Hex.h"
#include "simlib/tests/RealCardFixture.h"

#include <PCSC/winscard.h>
#include <algorithm>
#include <functional>

namespace quenlib::card {
namespace {

const std::u16string k45Digits = u"123456789012345678901234567890123456789012345";

std::string digits(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

simcard::Bytes freeRecord() {
    return simcard::Bytes(13, 0xFF);
}

TEST_F(RealCardTest, ConnectSelectAndDisconnect) {
    startCard();
    connectAndSelect();
    EXPECT_EQ(fileInfo.recordCount, 250u);
    EXPECT_EQ(fileInfo.recordLength, 28u);
    EXPECT_EQ(read(0), "=");
    EXPECT_EQ(QLSIM_Status(0), QL_E_FAILED);
    EXPECT_EQ(QLSIM_StatusChange(1), QL_E_FAILED);
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    EXPECT_EQ(read(0), "QL_E_NOT_CONNECTED");
    EXPECT_EQ(QLADN_Flush(), QL_E_NOT_CONNECTED);
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    // The card is free again for a new connection.
    connectAndSelect();
    EXPECT_EQ(read(249), "=");
    EXPECT_EQ(read(250), "QL_E_READ");
}

TEST_F(RealCardTest, IndexWrappingToRecordZeroLeavesTheCurrentRecordAlone) {
    startCard();
    connectAndSelect();
    ASSERT_EQ(write(3, u"KEEP", u"123"), QL_OK);
    ASSERT_EQ(read(3), "KEEP=123"); // record 4 is now the card's current record
    EXPECT_EQ(write(255, u"X", u"9"), QL_E_READ);
    EXPECT_EQ(read(255), "QL_E_READ");
    EXPECT_EQ(read(3), "KEEP=123");
}

TEST_F(RealCardTest, ReaderHeldExclusivelyElsewhereIsASharingViolation) {
    startCard();
    SCARDCONTEXT context = 0;
    ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context), SCARD_S_SUCCESS);
    SCARDHANDLE other = 0;
    DWORD protocol = 0;
    ASSERT_EQ(SCardConnect(context, card->readerName().c_str(), SCARD_SHARE_EXCLUSIVE,
                           SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &other, &protocol),
              SCARD_S_SUCCESS);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_SHARING);
    SCardDisconnect(other, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_OK);
}

TEST_F(RealCardTest, CardPulledOutBetweenCommandsGivesClearCodesAndReconnects) {
    startCard();
    connectAndSelect();
    ASSERT_EQ(write(0, u"TL1", u"12345"), QL_OK);
    card->remove();
    EXPECT_EQ(read(0), "QL_E_READ");
    EXPECT_EQ(write(1, u"A", u"1"), QL_E_READ);
    EXPECT_EQ(QLSIM_Connect(nullptr), QL_E_CONNECT);
    card->insert();
    connectAndSelect();
    EXPECT_EQ(read(0), "TL1=12345");
}

TEST_F(RealCardTest, CardPulledOutDuringSelectionFailsItAndReconnects) {
    simcard::CardOptions options = pinDisabled();
    // Connect sends nothing; the selection is cut while it reads the extension records.
    options.dropAfterCommands = 6;
    startCard(options);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    QL_FILE_INFO info{68, 7, 7};
    EXPECT_EQ(QLADN_SelectFile(&info), QL_E_SELECT_EF);
    EXPECT_EQ(info.recordCount, 7u);
    EXPECT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    // The dropped card may still be shutting down; wait until the reader is empty.
    card->remove();
    card->insert();
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    uint32_t enabled = 9;
    uint32_t attempts = 9;
    EXPECT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(enabled, 0u);
}

TEST_F(RealCardTest, ShortStateAnswerIsAChvFailure) {
    simcard::CardOptions options = pinDisabled();
    options.shortAnswer = "C0:22"; // 20 response bytes and the status word
    startCard(options);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    uint32_t enabled = 9;
    uint32_t attempts = 9;
    EXPECT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_E_CHV);
    EXPECT_EQ(enabled, 9u);
    QL_FILE_INFO info{};
    EXPECT_EQ(QLADN_SelectFile(&info), QL_OK); // EF answers are shorter than 22 bytes
}

TEST_F(RealCardTest, PinFlowsCountDownBlockAndUnblock) {
    simcard::CardOptions options;
    options.pin1 = "1234";
    options.puk1 = "12345678";
    startCard(options);
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    QL_PIN_CONTEXT context{};
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    EXPECT_EQ(context.pin1Enabled, 1u);
    EXPECT_EQ(context.pin1AttemptsLeft, 3u);
    EXPECT_EQ(context.unblock1AttemptsLeft, 10u);
    EXPECT_EQ(context.pin2AttemptsLeft, 3u);
    EXPECT_EQ(context.unblock2AttemptsLeft, 10u);

    // The phonebook needs the PIN.
    QL_FILE_INFO info{};
    EXPECT_EQ(QLADN_SelectFile(&info), QL_E_SELECT_EF);

    uint32_t enabled = 0;
    uint32_t attempts = 0;
    for (uint32_t left : {2u, 1u, 0u}) {
        EXPECT_EQ(QLSIM_VerifyPIN1("9999"), QL_E_CHV);
        ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
        EXPECT_EQ(attempts, left);
    }
    EXPECT_EQ(QLSIM_VerifyPIN1("1234"), QL_E_CHV); // blocked
    EXPECT_EQ(QLSIM_UnblockPIN1("00000000", "4321"), QL_E_CHV);
    ASSERT_EQ(QLSIM_GetPINContext(&context), QL_OK);
    EXPECT_EQ(context.unblock1AttemptsLeft, 9u);

    EXPECT_EQ(QLSIM_UnblockPIN1("12345678", "4321"), QL_OK);
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(attempts, 3u);
    EXPECT_EQ(QLSIM_VerifyPIN1("4321"), QL_OK);
    EXPECT_EQ(QLADN_SelectFile(&info), QL_OK);
}

TEST_F(RealCardTest, DisabledPinLetsTheNextConnectionReadWithoutVerifying) {
    startCard(simcard::CardOptions{});
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(QLSIM_DisablePIN1("0000"), QL_E_CHV);
    ASSERT_EQ(QLSIM_DisablePIN1("1234"), QL_OK);
    uint32_t enabled = 1;
    uint32_t attempts = 0;
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(attempts, 3u);
    ASSERT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    connectAndSelect();
    EXPECT_EQ(read(0), "=");
}

TEST_F(RealCardTest, ChangeAndEnableTakeEffectOnTheCard) {
    startCard(simcard::CardOptions{});
    ASSERT_EQ(QLSIM_Connect(nullptr), QL_OK);
    EXPECT_EQ(QLSIM_ChangePIN1("0000", "5555"), QL_E_CHV);
    ASSERT_EQ(QLSIM_ChangePIN1("1234", "5555"), QL_OK);
    EXPECT_EQ(QLSIM_VerifyPIN1("5555"), QL_OK);
    ASSERT_EQ(QLSIM_DisablePIN1("5555"), QL_OK);
    ASSERT_EQ(QLSIM_EnablePIN1("5555"), QL_OK);
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    ASSERT_EQ(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT_EQ(enabled, 1u);
    EXPECT_TRUE(simcard::CardImage::load(card->imagePath()).chv1Enabled());
}

TEST_F(RealCardTest, FortyFiveDigitNumberIsChainedThroughTwoExtensionRecords) {
    startCard();
    connectAndSelect();
    ASSERT_EQ(write(0, u"TL1", k45Digits), QL_OK);
    EXPECT_EQ(read(0), "TL1=" + digits(k45Digits)); // from the working copy
    EXPECT_EQ(records(simcard::EfExt1)[0], freeRecord());

    ASSERT_EQ(QLADN_Flush(), QL_OK);
    const auto adn = records(simcard::EfAdn);
    EXPECT_EQ(tarvik::ToHex(adn[0], tarvik::HexSpacing::Spaced),
              "54 4C 31 FF FF FF FF FF FF FF FF FF FF FF "
              "0B 81 21 43 65 87 09 21 43 65 87 09 FF 01");
    const auto ext1 = records(simcard::EfExt1);
    EXPECT_EQ(tarvik::ToHex(ext1[0], tarvik::HexSpacing::Spaced),
              "02 0A 21 43 65 87 09 21 43 65 87 09 02");
    EXPECT_EQ(tarvik::ToHex(ext1[1], tarvik::HexSpacing::Spaced),
              "02 03 21 43 F5 FF FF FF FF FF FF FF FF");

    // A fresh connection reads the chain from the card.
    ASSERT_EQ(QLSIM_Disconnect(nullptr), QL_OK);
    connectAndSelect();
    EXPECT_EQ(read(0), "TL1=" + digits(k45Digits));
}

TEST_F(RealCardTest, ShortRewriteReleasesTheChainAndFlushWritesOnlyChangedRecords) {
    startCard();
    connectAndSelect();
    ASSERT_EQ(write(0, u"A", k45Digits), QL_OK);
    ASSERT_EQ(write(1, u"B", u"1234567890123456789012345"), QL_OK);
    std::size_t mark = commands().size();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(countSince(mark, "A0 DC"), 3u);

    ASSERT_EQ(write(0, u"A", u"+12345"), QL_OK);
    mark = commands().size();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(countSince(mark, "A0 DC 01"), 1u);
    EXPECT_EQ(countSince(mark, "A0 DC 02"), 1u);
    EXPECT_EQ(countSince(mark, "A0 DC"), 2u);
    const auto ext1 = records(simcard::EfExt1);
    EXPECT_EQ(ext1[0], freeRecord());
    EXPECT_EQ(ext1[1], freeRecord());
    EXPECT_EQ(ext1[2][0], 0x02); // B's chain stays
    EXPECT_EQ(read(0), "A=12345");
    EXPECT_EQ(read(1), "B=1234567890123456789012345");

    mark = commands().size();
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(countSince(mark, "A0 DC"), 0u);
}

TEST_F(RealCardTest, CardWithoutExtensionFileKeepsTwentyDigits) {
    for (int ext1Records : {-1, 0}) {
        simcard::CardOptions options = pinDisabled();
        options.ext1Records = ext1Records;
        startCard(options);
        connectAndSelect();
        ASSERT_EQ(write(3, u"TL1", k45Digits), QL_OK);
        EXPECT_EQ(read(3), "TL1=12345678901234567890");
        const std::size_t mark = commands().size();
        EXPECT_EQ(QLADN_Flush(), QL_OK);
        EXPECT_EQ(countSince(mark, "A0 DC"), 0u);
        EXPECT_EQ(records(simcard::EfAdn)[3].back(), 0xFF);
        QLSIM_Disconnect(nullptr);
        QLSIM_Final();
    }
}

TEST_F(RealCardTest, RawRecordsAndTheExtensionBuffer) {
    simcard::CardOptions options = pinDisabled();
    options.adnRecords = 20;
    startCard(options);
    connectAndSelect();
    EXPECT_EQ(fileInfo.recordCount, 20u);
    std::vector<uint8_t> record(28, 0xFF);
    record[0] = 'X';
    record[14] = 0x02;
    record[15] = 0x81;
    record[16] = 0x21;
    ASSERT_EQ(QLADN_WriteRecord(19, record.data()), QL_OK);
    EXPECT_EQ(read(19), "X=12");
    std::vector<uint8_t> readBack(30, 0);
    ASSERT_EQ(QLADN_ReadRecord(19, readBack.data()), QL_OK);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), readBack.begin()));
    EXPECT_EQ(readBack[28], 0x90);
    EXPECT_EQ(QLADN_ReadRecord(20, readBack.data()), QL_E_READ);
    EXPECT_EQ(QLADN_WriteRecord(20, record.data()), QL_E_WRITE);
    EXPECT_EQ(write(20, u"A", u"1"), QL_E_READ);

    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(QLADN_ReadExt1BufP(&buffer, &size), QL_OK);
    EXPECT_EQ(size, 130u);
    std::vector<uint8_t> edited(buffer, buffer + size);
    edited[13 * 9] = 0x02;
    edited[13 * 9 + 1] = 0x00;
    ASSERT_EQ(QLADN_WriteExt1Buf(edited.data(), size), QL_OK);
    ASSERT_EQ(QLADN_Flush(), QL_OK);
    EXPECT_EQ(records(simcard::EfExt1)[9][0], 0x02);
}

} // namespace
} // namespace quenlib::card
