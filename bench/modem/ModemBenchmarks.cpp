// How long sending a 5-message program takes, from the command to the last +CMGS, through
// the modem library on the virtual modem, against the same exchange written out by hand
// with no parsing at all. The library should stay within 5 % of the hand-written exchange
// plus the modem's own delays.

#include "base/Hex.h"
#include "modem/AtSession.h"
#include "modem/MessageLog.h"
#include "modem/MessageSplit.h"
#include "modem/RemoteSend.h"
#include "modem/platform/posix/PosixSerialPort.h"
#include "tools/gsmmodem/fixture/VirtualModem.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tarvik::modem;

constexpr const char* kNumber = "+393331234567";

// Five blocks of entries, each one message.
std::string FiveBlockProgram() {
    std::string text = ";";
    for (int block = 0; block < 5; ++block) {
        for (int entry = 0; entry < 7; ++entry) {
            text += "TL" + std::to_string(entry) + "=12345678901234" + std::to_string(block) + ";";
        }
        text += "\r\n\r\n";
    }
    return text;
}

gsmmodem::VirtualModem& Modem() {
    static gsmmodem::VirtualModem modem;
    return modem;
}

std::filesystem::path LogFile() {
    return std::filesystem::temp_directory_path() / "bench-modem-messages.csv";
}

void SendThroughTheLibrary(benchmark::State& state) {
    const std::string text = FiveBlockProgram();
    for (auto _ : state) {
        const MessagePlan plan = PlanMessages(text);
        std::string error;
        const auto port = PosixSerialPort::open(Modem().port(), error);
        AtSession session(*port);
        MessageLog log(LogFile());
        SendObserver observer;
        SendRequest request;
        request.messages = plan.messages;
        request.number = kNumber;
        request.wait = milliseconds(0);
        const SendOutcome outcome = SendRemote(session, request, log, observer);
        if (outcome.sent != 5) {
            state.SkipWithError(outcome.error.c_str());
            break;
        }
    }
    std::filesystem::remove(LogFile());
}
BENCHMARK(SendThroughTheLibrary)->Unit(benchmark::kMillisecond);

// Reads until `ending` has arrived.
void ReadUntil(int fd, std::string_view ending) {
    std::string seen;
    char buffer[512];
    while (seen.find(ending) == std::string::npos) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 2000) <= 0) {
            return;
        }
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            return;
        }
        seen.append(buffer, static_cast<std::size_t>(got));
    }
}

void Send(int fd, std::string_view bytes) {
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        std::abort();
    }
}

// The same commands and PDUs, prepared beforehand, each answer waited for by its last bytes.
void SendByHand(benchmark::State& state) {
    std::string error;
    const auto to = ParseDestination(kNumber, error);
    std::vector<std::pair<std::string, std::string>> submits; // command, PDU and Ctrl-Z
    for (const auto& message : PlanMessages(FiveBlockProgram()).messages) {
        const SubmitPdu pdu = EncodeSubmit(*to, message);
        submits.emplace_back("AT+CMGS=" + std::to_string(pdu.tpduLength) + "\r",
                             tarvik::ToHex(pdu.bytes) + "\x1A");
    }
    for (auto _ : state) {
        const int fd = ::open(Modem().port().c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
        for (const char* command : {"AT\r", "ATE0\r", "AT+CMEE=1\r", "AT+CPIN?\r", "AT+CMGF=0\r"}) {
            Send(fd, command);
            ReadUntil(fd, "OK\r\n");
        }
        for (const auto& [command, pdu] : submits) {
            Send(fd, command);
            ReadUntil(fd, "> ");
            Send(fd, pdu);
            ReadUntil(fd, "OK\r\n");
        }
        ::close(fd);
    }
}
BENCHMARK(SendByHand)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
