// The virtual card through the real stack: pcscd, the vpcd driver and the simcard process,
// driven with raw pcsc-lite calls.

#include "tools/simcard/fixture/VirtualCard.h"

#include "base/Hex.h"
#include "tools/simcard/core/CardImage.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <winscard.h>

namespace simcard {
namespace {

class Context {
public:
    Context() {
        EXPECT_EQ(SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context_),
                  SCARD_S_SUCCESS);
    }
    ~Context() { SCardReleaseContext(context_); }
    SCARDCONTEXT get() const { return context_; }

private:
    SCARDCONTEXT context_ = 0;
};

class Connection {
public:
    Connection(const Context& context, const std::string& reader,
               DWORD share = SCARD_SHARE_EXCLUSIVE) {
        result_ = SCardConnect(context.get(), reader.c_str(), share,
                               SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card_, &protocol_);
    }
    ~Connection() {
        if (result_ == SCARD_S_SUCCESS)
            SCardDisconnect(card_, SCARD_LEAVE_CARD);
    }
    LONG result() const { return result_; }

    std::string atr() const {
        BYTE atr[MAX_ATR_SIZE];
        DWORD atrLength = sizeof atr, state = 0, protocol = 0, nameLength = 0;
        if (SCardStatus(card_, nullptr, &nameLength, &state, &protocol, atr, &atrLength) !=
            SCARD_S_SUCCESS)
            return "no status";
        return tarvik::ToHex({atr, atrLength});
    }

    // Sends a command given in hex; returns the answer in hex, or the PC/SC error text.
    std::string transmit(std::string_view commandHex) {
        auto command = *tarvik::FromHex(commandHex, tarvik::HexSpacing::Spaced);
        Bytes answer(260);
        DWORD length = static_cast<DWORD>(answer.size());
        const SCARD_IO_REQUEST* pci = protocol_ == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
        LONG rc = SCardTransmit(card_, pci, command.data(), static_cast<DWORD>(command.size()),
                                nullptr, answer.data(), &length);
        if (rc != SCARD_S_SUCCESS)
            return pcsc_stringify_error(rc);
        answer.resize(length);
        return tarvik::ToHex(answer);
    }

private:
    LONG result_ = 0;
    SCARDHANDLE card_ = 0;
    DWORD protocol_ = 0;
};

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(VirtualCardTest, SelectReadUpdateReachTheImage) {
    VirtualCard card;
    Context context;
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);

    EXPECT_EQ(c.transmit("A0A40000027F10"), "9F16");
    EXPECT_EQ(c.transmit("A0A40000026F3A"), "9F0F");
    EXPECT_EQ(c.transmit("A0C000000F"), "00001B586F3A040011FF220102011C9000");
    EXPECT_EQ(c.transmit("A0B201041C"), "9804"); // CHV1 not yet verified
    EXPECT_EQ(c.transmit("A02000010831323334FFFFFFFF"), "9000");
    const std::string record = "414243FFFFFFFFFFFFFFFFFFFFFF0381214365FFFFFFFFFFFFFFFFFF";
    EXPECT_EQ(c.transmit("A0DC01041C" + record), "9000");
    EXPECT_EQ(c.transmit("A0B201041C"), record + "9000");

    auto image = CardImage::load(card.imagePath());
    EXPECT_EQ(tarvik::ToHex(image.records({DfTelecom, EfAdn}).at(0)), record);
    auto log = readAll(card.commandLogPath());
    EXPECT_NE(log.find("> A0 DC 01 04 1C 41 42 43"), std::string::npos);
    EXPECT_NE(log.find("< 90 00"), std::string::npos);
}

// Only lower bounds: a slow machine can make an answer later, never earlier.
TEST(VirtualCardTest, RealTimingAnswersNoSoonerThanACardOnT0Would) {
    CardOptions options;
    options.pin1Enabled = false;
    options.realTiming = true;
    options.baud = 9600;
    options.writeMs = 50;
    VirtualCard card(options);
    Context context;
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
    auto timed = [&](std::string_view command, std::string_view answer) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.transmit(command), answer);
        return std::chrono::steady_clock::now() - start;
    };
    using std::chrono::microseconds;
    // ISO/IEC 7816-3 §7.1: 11 etu of 372 / 3.579545 MHz = 1.143 ms a character.
    // SELECT: 5 + 1 + 2 + 2 characters.
    EXPECT_GE(timed("A0A40000027F10", "9F16"), microseconds(11'431));
    EXPECT_GE(timed("A0A40000026F3A", "9F0F"), microseconds(11'431));
    // UPDATE RECORD of 28 bytes: 36 characters and the 50 ms write.
    const std::string record = "414243FFFFFFFFFFFFFFFFFFFFFF0381214365FFFFFFFFFFFFFFFFFF";
    EXPECT_GE(timed("A0DC01041C" + record, "9000"), microseconds(41'153 + 50'000));
    // A refused update (GSM 11.11 §9.4.2, 94 02: no record 255) writes nothing, yet its
    // bytes still cross the line.
    EXPECT_GE(timed("A0DCFF041C" + record, "9402"), microseconds(41'153));
}

// EF ICCID as GSM 11.11 10.1.1 stores it: two digits a byte, low nibble first, F filler.
TEST(VirtualCardTest, SignalsTakeTheCardOutAndPutTheNextQueuedCardIn) {
    CardOptions options;
    options.queuedCards = 1;
    VirtualCard card(options);
    Context context;
    auto iccid = [&] {
        Connection c(context, card.readerName());
        EXPECT_EQ(c.transmit("A0A40000022FE2"), "9F0E");
        return c.transmit("A0B000000A");
    };
    EXPECT_EQ(iccid(), "989400000000000010F79000");
    card.takeOut();
    EXPECT_EQ(Connection(context, card.readerName()).result(), SCARD_E_NO_SMARTCARD);
    card.putNextIn();
    EXPECT_EQ(iccid(), "989400000000000010F89000");
    card.takeOut();
    card.putNextIn(); // the first again, as it was left
    EXPECT_EQ(iccid(), "989400000000000010F79000");
}

TEST(VirtualCardTest, PulledOutCardComesBackWithItsRecordsAndWithoutVerification) {
    VirtualCard card;
    Context context;
    {
        Connection c(context, card.readerName());
        ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
        c.transmit("A0A40000027F10");
        c.transmit("A0A40000026F3A");
        c.transmit("A02000010831323334FFFFFFFF");
        EXPECT_EQ(c.transmit("A0DC02041C" + std::string(54, 'F') + "01"), "9000");
    }
    card.remove();
    EXPECT_NE(Connection(context, card.readerName()).result(), SCARD_S_SUCCESS);

    card.insert();
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
    c.transmit("A0A40000027F10");
    c.transmit("A0A40000026F3A");
    EXPECT_EQ(c.transmit("A0B202041C"), "9804");
    c.transmit("A02000010831323334FFFFFFFF");
    EXPECT_EQ(c.transmit("A0B202041C"), std::string(54, 'F') + "019000");
}

TEST(VirtualCardTest, SecondExclusiveConnectionIsRefused) {
    VirtualCard card;
    Context context;
    Connection first(context, card.readerName());
    ASSERT_EQ(first.result(), SCARD_S_SUCCESS);
    Connection second(context, card.readerName());
    EXPECT_EQ(second.result(), SCARD_E_SHARING_VIOLATION);
}

TEST(VirtualCardTest, OptionsShapeTheCard) {
    CardOptions options;
    options.adnRecords = 20;
    options.ext1Records = -1;
    options.cdmaDirectory = true;
    options.pin1Enabled = false;
    options.atrHex = "3B05000044544D";
    options.extraArguments = {"--case", "7:" + std::string(64, 'A')};
    VirtualCard card(options);
    Context context;
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
    EXPECT_EQ(c.atr(), "3B05000044544D");
    EXPECT_EQ(c.transmit("A0A40000027F10"), "9F16");
    EXPECT_EQ(c.transmit("A0C0000016").substr(26, 2), "80"); // CHV1 disabled
    EXPECT_EQ(c.transmit("A0A40000026F4A"), "9404");
    EXPECT_EQ(c.transmit("A0A40000026F3A"), "9F0F");
    EXPECT_EQ(c.transmit("A0C000000F").substr(4, 4), "0230"); // 20 x 28 bytes
    EXPECT_EQ(c.transmit("A0B214041C"), std::string(56, 'F') + "9000");
    EXPECT_EQ(c.transmit("A0A40000027F25"), "9F16");
    EXPECT_EQ(c.transmit("A00A000002"), "000A9000"); // ten records by default
    EXPECT_EQ(c.transmit("A009000720"), std::string(64, 'A') + "9000");
}

TEST(VirtualCardTest, DropFaultTakesTheCardAwayAfterNCommands) {
    CardOptions options;
    options.dropAfterCommands = 2;
    VirtualCard card(options);
    Context context;
    {
        Connection c(context, card.readerName());
        ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
        EXPECT_EQ(c.transmit("A0A40000027F10"), "9F16");
        EXPECT_EQ(c.transmit("A0C0000016").size(), 48u);
        EXPECT_EQ(c.transmit("A0A40000026F3A").find("9F"), std::string::npos);
    }
    // Straight after the drop the process may still be ending: insert() waits for it.
    card.insert();
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
    EXPECT_EQ(c.transmit("A0A40000027F10"), "9F16");
}

TEST(VirtualCardTest, ShortAnswerFaultCutsTheAnswer) {
    CardOptions options;
    options.shortAnswer = "C0:22";
    VirtualCard card(options);
    Context context;
    Connection c(context, card.readerName());
    ASSERT_EQ(c.result(), SCARD_S_SUCCESS);
    EXPECT_EQ(c.transmit("A0A40000027F10"), "9F16");
    EXPECT_EQ(c.transmit("A0C0000016"), "000000007F100200000000000900000404008"
                                        "38A838A");
}

} // namespace
} // namespace simcard

namespace simcard {
namespace {

TEST(VirtualCardTest, UiccOfEachPhonebookLayoutAnswersThroughPcscd) {
    // pcsc-lite passes T=0 procedure answers on as they are (ETSI TS 102 221 §7.3.1.1.4):
    // 61 xx and 6C xx reach the program, which asks for the data itself.
    struct Case {
        std::string layout;
        std::string toAdn; // SELECT by path from the MF, P2 0C
        DirectoryId directory;
        std::uint16_t adn;
    };
    const Case cases[] = {
        {"telecom", "00A4080C047F106F3A", DfTelecom, EfAdn},
        {"global", "00A4080C067F105F3A4F3A", DfGlobalPhonebook, EfPhonebookAdn},
        {"local", "00A4080C067FFF5F3A4F3A", DfLocalPhonebook, EfPhonebookAdn},
    };
    const std::string record = "414243FFFFFFFFFFFFFFFFFFFFFF0381214365FFFFFFFFFFFFFFFFFF";
    const std::string fcp = "621B8202782183027F108A01058B032F0603C6099001C0830101830181";
    for (const auto& c : cases) {
        CardOptions options;
        options.uicc = true;
        options.phonebook = c.layout;
        VirtualCard card(options);
        Context context;
        Connection t(context, card.readerName());
        ASSERT_EQ(t.result(), SCARD_S_SUCCESS) << c.layout;
        EXPECT_EQ(t.atr(), "3B80801FC6D9") << c.layout;
        EXPECT_EQ(t.transmit("A0A40000023F00"), "6E00") << c.layout;
        EXPECT_EQ(t.transmit("00A40004027F10"), "611D") << c.layout;
        // The FCP of DF Telecom in two pieces.
        EXPECT_EQ(t.transmit("00C0000010"), fcp.substr(0, 32) + "610D") << c.layout;
        EXPECT_EQ(t.transmit("00C000000D"), fcp.substr(32) + "9000") << c.layout;
        EXPECT_EQ(t.transmit("00A4040C07A0000000871002"), "9000") << c.layout;
        EXPECT_EQ(t.transmit(c.toAdn), "9000") << c.layout;
        EXPECT_EQ(t.transmit("00B2010410"), "6982") << c.layout; // PIN1 not yet verified
        EXPECT_EQ(t.transmit("002000010831323334FFFFFFFF"), "9000") << c.layout;
        EXPECT_EQ(t.transmit("00B2010410"), "6C1C") << c.layout;
        EXPECT_EQ(t.transmit("00DC01041C" + record), "9000") << c.layout;
        EXPECT_EQ(t.transmit("00B201041C"), record + "9000") << c.layout;
        const auto image = CardImage::load(card.imagePath());
        EXPECT_TRUE(image.uicc());
        EXPECT_EQ(tarvik::ToHex(image.records({c.directory, c.adn}).at(0)), record) << c.layout;
    }
}

} // namespace
} // namespace simcard
