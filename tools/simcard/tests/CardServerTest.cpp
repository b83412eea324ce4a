#include "tools/simcard/core/CardServer.h"

#include "base/Hex.h"
#include "tools/simcard/core/VpcdConnection.h"
#include "tools/simcard/tests/CardTestSupport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace simcard {
namespace {

Bytes bytes(std::string_view hex) {
    return *tarvik::FromHex(hex, tarvik::HexSpacing::Spaced);
}

class CardServerTest : public ::testing::Test {
protected:
    std::string exchange(CardServer& server, std::string_view hex) {
        auto answer = server.handleMessage(bytes(hex));
        return answer ? tarvik::ToHex(*answer) : "none";
    }

    SimCard card{CardImage::create({})};
    Options options;
    CommandLog log;
};

TEST_F(CardServerTest, ControlCodesGiveTheAtrAndResetTheCard) {
    options.atr = bytes("3B0244544D");
    CardServer server(card, options, log);
    EXPECT_EQ(exchange(server, "04"), "3B0244544D");
    EXPECT_EQ(exchange(server, "01"), "none");
    EXPECT_EQ(exchange(server, "A0A40000027F10"), "9F16");
    exchange(server, "02"); // reset
    EXPECT_EQ(exchange(server, "A0C0000016"), "6700");
    exchange(server, "A020000108" + testing::code("1234"));
    exchange(server, "00"); // power off forgets the verified PIN
    exchange(server, "01");
    exchange(server, "A0A40000027F10");
    exchange(server, "A0A40000026F3A");
    EXPECT_EQ(exchange(server, "A0B201041C"), "9804");
    EXPECT_EQ(exchange(server, "07"), "none");
}

TEST_F(CardServerTest, AUiccAnnouncesItselfInItsAtr) {
    // ETSI TS 102 221 §6.3.3: T=0, then T=15 with its TA (clock stop no preference, classes
    // B and C) and TCK, which makes the exclusive-or of T0 to TCK zero.
    CardSettings settings;
    settings.uicc = true;
    SimCard uicc(CardImage::create(settings));
    CardServer server(uicc, options, log);
    EXPECT_EQ(exchange(server, "04"), "3B80801FC6D9");
    EXPECT_EQ(exchange(server, "00A4000C027F10"), "9000");
    options.atr = bytes("3B021450");
    EXPECT_EQ(exchange(server, "04"), "3B021450");
    // The faults work on a UICC's answers as on a SIM's.
    options.shortAnswers = {{0xC0, 3}};
    EXPECT_EQ(exchange(server, "00A40004027F10"), "611D");
    EXPECT_EQ(exchange(server, "00C000001D"), "621B82");
}

TEST_F(CardServerTest, UpdateRetriesFaultTurnsSuccessfulUpdatesInto63Cx) {
    // ETSI TS 102 221 §10.2.1.2: 63 CX after an update that took X internal retries; the
    // data is written all the same.
    CardSettings settings;
    settings.uicc = true;
    settings.pin1Enabled = false;
    SimCard uicc(CardImage::create(settings));
    options.updateRetries = 2;
    CardServer server(uicc, options, log);
    EXPECT_EQ(exchange(server, "00A4080C047F106F3A"), "9000");
    EXPECT_EQ(exchange(server, "00DC01041C" + testing::filled(28, "11")), "63C2");
    EXPECT_EQ(exchange(server, "00DCFF041C" + testing::filled(28, "11")), "6A83"); // no record 255
    EXPECT_EQ(exchange(server, "00DC01041B" + testing::filled(27, "11")), "6700");
    EXPECT_EQ(exchange(server, "00B201041C"), testing::filled(28, "11") + "9000");
}

TEST_F(CardServerTest, DropFaultAnswersExactlyNCommands) {
    options.dropAfterCommands = 2;
    CardServer server(card, options, log);
    EXPECT_EQ(exchange(server, "A0A40000027F10"), "9F16");
    EXPECT_EQ(exchange(server, "04"), "3B021450"); // control codes do not count
    EXPECT_EQ(exchange(server, "A0C0000016").size(), 48u);
    EXPECT_FALSE(server.dropRequested());
    EXPECT_EQ(exchange(server, "A0A40000027F10"), "none");
    EXPECT_TRUE(server.dropRequested());
}

TEST_F(CardServerTest, DropAfterZeroAnswersNothing) {
    options.dropAfterCommands = 0;
    CardServer server(card, options, log);
    EXPECT_EQ(exchange(server, "A0A40000027F10"), "none");
    EXPECT_TRUE(server.dropRequested());
}

TEST_F(CardServerTest, ShortAnswerFaultCutsOnlyTheChosenCommand) {
    options.shortAnswers = {{0xC0, 22}, {0xA4, std::nullopt}, {0xB2, 500}};
    CardServer server(card, options, log);
    EXPECT_EQ(exchange(server, "A0A40000027F10"), "9F");
    EXPECT_EQ(exchange(server, "A0C0000016").size(), 44u);
    EXPECT_EQ(exchange(server, "A0F2000016").size(), 48u);
    EXPECT_EQ(exchange(server, "A0B201041C"), "9400"); // longer than the answer: unchanged
}

// A listening socket on a free local port standing in for vpcd.
class FakeVpcd {
public:
    FakeVpcd() {
        listener_ = tarvik::UniqueFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(listener_.get(), 1), 0);
        ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    int port() const { return port_; }
    VpcdConnection accept() {
        return VpcdConnection(tarvik::UniqueFd(::accept(listener_.get(), nullptr, nullptr)));
    }

private:
    tarvik::UniqueFd listener_;
    int port_ = 0;
};

// The stop descriptor a server polls, standing in for the signalfd of the program.
struct StopPipe {
    StopPipe() {
        int ends[2];
        if (::pipe(ends) != 0)
            throw std::system_error(errno, std::generic_category(), "pipe");
        readEnd.reset(ends[0]);
        writeEnd.reset(ends[1]);
    }
    bool stop() { return ::write(writeEnd.get(), "x", 1) == 1; }
    tarvik::UniqueFd readEnd, writeEnd;
};

std::string request(VpcdConnection& vpcd, std::string_view hex) {
    EXPECT_TRUE(vpcd.send(bytes(hex)));
    auto answer = vpcd.receive();
    return answer ? tarvik::ToHex(*answer) : "closed";
}

TEST_F(CardServerTest, ServesFramedMessagesUntilStopped) {
    FakeVpcd vpcd;
    options.port = vpcd.port();
    CardServer server(card, options, log);
    StopPipe stop;
    int status = -1;
    std::thread serving([&] { status = server.run(stop.readEnd.get()); });

    auto connection = vpcd.accept();
    EXPECT_EQ(request(connection, "04"), "3B021450");
    EXPECT_EQ(request(connection, "A0A40000027F10"), "9F16");
    EXPECT_EQ(request(connection, "A0C0000016").size(), 48u);
    ASSERT_TRUE(stop.stop());
    serving.join();
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(connection.receive().has_value()); // the card left
}

TEST_F(CardServerTest, ReconnectsWhenVpcdClosesAndExitsWhenAskedTo) {
    FakeVpcd vpcd;
    options.port = vpcd.port();
    CardServer server(card, options, log);
    StopPipe stop;
    std::thread serving([&] { server.run(stop.readEnd.get()); });
    {
        auto first = vpcd.accept();
        EXPECT_EQ(request(first, "04"), "3B021450");
    }
    auto second = vpcd.accept();
    EXPECT_EQ(request(second, "A0A40000027F10"), "9F16");
    ASSERT_TRUE(stop.stop());
    serving.join();

    options.exitOnClose = true;
    CardServer once(card, options, log);
    std::thread servingOnce([&] { once.run(-1); });
    vpcd.accept(); // closed at once
    servingOnce.join();
}

TEST_F(CardServerTest, DropFaultClosesTheConnection) {
    FakeVpcd vpcd;
    options.port = vpcd.port();
    options.dropAfterCommands = 1;
    CardServer server(card, options, log);
    std::thread serving([&] { server.run(-1); });
    auto connection = vpcd.accept();
    EXPECT_EQ(request(connection, "A0A40000027F10"), "9F16");
    EXPECT_EQ(request(connection, "A0A40000027F10"), "closed");
    serving.join();
}

} // namespace
} // namespace simcard
