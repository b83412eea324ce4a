// The test card service as a program sees it through winscard's entry points, with the
// virtual card that wine-card-run starts for each test: it answers two commands, then
// drops its connection (--drop-after 2), which the reader sees as the card removed.
// Codes and their meaning: the winscard interface (SCardListReaders, SCardGetStatusChange,
// SCardConnect, SCardTransmit, SCardCancel as Windows documents them).
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>
#include <winscard.h>

namespace {

constexpr char kReader[] = "Tarvik Test Reader 0";
// GSM 11.11 §9.2.1: SELECT of the MF, answered 9F xx (§9.4.1).
const BYTE kSelectMf[] = {0xA0, 0xA4, 0x00, 0x00, 0x02, 0x3F, 0x00};

class WinscardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context),
                  SCARD_S_SUCCESS);
    }
    void TearDown() override { EXPECT_EQ(SCardReleaseContext(context), SCARD_S_SUCCESS); }

    LONG connect(SCARDHANDLE& card, DWORD& protocol, const char* reader = kReader) {
        return SCardConnectA(context, reader, SCARD_SHARE_EXCLUSIVE,
                             SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol);
    }

    static LONG transmit(SCARDHANDLE card, std::vector<BYTE>& answer) {
        answer.assign(258, 0);
        DWORD length = static_cast<DWORD>(answer.size());
        const LONG result = SCardTransmit(card, SCARD_PCI_T0, kSelectMf, sizeof kSelectMf, nullptr,
                                          answer.data(), &length);
        answer.resize(result == SCARD_S_SUCCESS ? length : 0);
        return result;
    }

    SCARDCONTEXT context = 0;
};

TEST_F(WinscardTest, ListsItsOneReaderAsAMultiString) {
    const std::string expected(kReader, sizeof kReader); // the name, its 0 and the list's 0
    const struct {
        DWORD given;
        bool buffer;
        LONG result;
    } cases[] = {
        {0, false, SCARD_S_SUCCESS},            // the length only
        {5, true, SCARD_E_INSUFFICIENT_BUFFER}, // too short
        {64, true, SCARD_S_SUCCESS},
    };
    for (const auto& c : cases) {
        std::string names(64, 'X');
        DWORD length = c.given;
        EXPECT_EQ(SCardListReadersA(context, nullptr, c.buffer ? names.data() : nullptr, &length),
                  c.result)
            << c.given;
        EXPECT_EQ(length, expected.size() + 1) << c.given;
        if (c.result == SCARD_S_SUCCESS && c.buffer) {
            EXPECT_EQ(names.substr(0, length), expected + '\0');
        }
    }
    DWORD length = 0;
    EXPECT_EQ(SCardListReadersA(context + 1, nullptr, nullptr, &length), SCARD_E_INVALID_HANDLE);
}

TEST_F(WinscardTest, StatusChangeReportsTheCardThenTimesOut) {
    SCARD_READERSTATEA state{};
    state.szReader = kReader;
    state.dwCurrentState = SCARD_STATE_UNAWARE;
    ASSERT_EQ(SCardGetStatusChangeA(context, 0, &state, 1), SCARD_S_SUCCESS);
    EXPECT_NE(state.dwEventState & SCARD_STATE_CHANGED, 0u);
    EXPECT_NE(state.dwEventState & SCARD_STATE_PRESENT, 0u);
    EXPECT_EQ(state.dwEventState & SCARD_STATE_EMPTY, 0u);
    // simcard's default answer-to-reset.
    EXPECT_EQ(std::vector<BYTE>(state.rgbAtr, state.rgbAtr + state.cbAtr),
              (std::vector<BYTE>{0x3B, 0x02, 0x14, 0x50}));

    state.dwCurrentState = state.dwEventState & ~SCARD_STATE_CHANGED;
    const DWORD before = GetTickCount();
    EXPECT_EQ(SCardGetStatusChangeA(context, 200, &state, 1), SCARD_E_TIMEOUT);
    EXPECT_GE(GetTickCount() - before, 150u);
    EXPECT_EQ(state.dwEventState & SCARD_STATE_CHANGED, 0u);

    ASSERT_EQ(SCardCancel(context), SCARD_S_SUCCESS);
    EXPECT_EQ(SCardGetStatusChangeA(context, INFINITE, &state, 1), SCARD_E_CANCELLED);
}

TEST_F(WinscardTest, ConnectRefusesAReaderItDoesNotHave) {
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    EXPECT_EQ(connect(card, protocol, "Another Reader 0"), SCARD_E_UNKNOWN_READER);
    EXPECT_EQ(SCardConnectA(context, kReader, SCARD_SHARE_SHARED, 0, &card, &protocol),
              SCARD_E_PROTO_MISMATCH);
}

TEST_F(WinscardTest, ARemovedCardEndsTransmitAndEmptiesTheReader) {
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    ASSERT_EQ(connect(card, protocol), SCARD_S_SUCCESS);
    EXPECT_EQ(protocol, static_cast<DWORD>(SCARD_PROTOCOL_T0));
    // The exclusive connection keeps out a second one of either kind.
    SCARDHANDLE other = 0;
    EXPECT_EQ(connect(other, protocol), SCARD_E_SHARING_VIOLATION);
    EXPECT_EQ(
        SCardConnectA(context, kReader, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0, &other, &protocol),
        SCARD_E_SHARING_VIOLATION);

    BYTE atr[36];
    DWORD atrLength = sizeof atr;
    DWORD cardState = 0;
    DWORD cardProtocol = 0;
    DWORD nameLength = 0;
    ASSERT_EQ(SCardStatusA(card, nullptr, &nameLength, &cardState, &cardProtocol, atr, &atrLength),
              SCARD_S_SUCCESS);
    EXPECT_EQ(cardState, static_cast<DWORD>(SCARD_SPECIFIC));
    EXPECT_EQ(cardProtocol, protocol);
    EXPECT_EQ(atrLength, 4u);

    std::vector<BYTE> answer;
    for (int command = 0; command < 2; ++command) {
        ASSERT_EQ(transmit(card, answer), SCARD_S_SUCCESS) << command;
        ASSERT_EQ(answer.size(), 2u);
        EXPECT_EQ(answer[0], 0x9F);
    }
    EXPECT_EQ(transmit(card, answer), SCARD_W_REMOVED_CARD);

    SCARD_READERSTATEA state{};
    state.szReader = kReader;
    state.dwCurrentState = SCARD_STATE_PRESENT;
    ASSERT_EQ(SCardGetStatusChangeA(context, 1000, &state, 1), SCARD_S_SUCCESS);
    EXPECT_NE(state.dwEventState & SCARD_STATE_EMPTY, 0u);
    EXPECT_EQ(state.cbAtr, 0u);
    // The handle stays until it is let go.
    EXPECT_EQ(SCardDisconnect(card, SCARD_LEAVE_CARD), SCARD_S_SUCCESS);
    EXPECT_EQ(SCardDisconnect(card, SCARD_LEAVE_CARD), SCARD_E_INVALID_HANDLE);
    EXPECT_EQ(connect(card, protocol), SCARD_E_NO_SMARTCARD);
}

} // namespace
