#include "tools/simcard/core/CardServer.h"

#include "base/Hex.h"
#include "tools/simcard/core/VpcdConnection.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iostream>
#include <poll.h>

namespace simcard {

namespace {

constexpr int ReconnectDelayMs = 100;

enum ControlCode : std::uint8_t { PowerOff = 0, PowerOn = 1, Reset = 2, GetAtr = 4 };

// Waits until `fd` is readable or `stopFd` fires; returns false when stopped.
bool WaitReadable(int fd, int stopFd, int timeoutMs, bool& readable) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    int n = ::poll(fds, stopFd >= 0 ? 2 : 1, timeoutMs);
    if (n < 0 && errno != EINTR)
        return false;
    if (stopFd >= 0 && (fds[1].revents & POLLIN))
        return false;
    readable = n > 0 && fds[0].revents != 0;
    return true;
}

// Sleeps until `deadline` unless `stopFd` fires first; returns false when stopped. The
// socket needs nothing meanwhile: the command was acknowledged when it was read (quick
// acknowledgement), and the answer goes out in one write when the wait ends.
bool WaitUntil(std::chrono::steady_clock::time_point deadline, int stopFd) {
    for (;;) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::nanoseconds::zero())
            return true;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000), ns % 1'000'000'000};
        pollfd stop{stopFd, POLLIN, 0};
        const int n = ::ppoll(&stop, stopFd >= 0 ? 1 : 0, &timeout, nullptr);
        if (n > 0)
            return false;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

CardServer::CardServer(SimCard& card, const Options& options, CommandLog& log)
    : card_(card), options_(options), log_(log) {}

std::optional<Bytes> CardServer::handleMessage(std::span<const std::uint8_t> message) {
    if (message.size() == 1) {
        switch (message[0]) {
        case PowerOff:
            log_.event("power off");
            card_.reset();
            return std::nullopt;
        case PowerOn:
            log_.event("power on");
            card_.reset();
            return std::nullopt;
        case Reset:
            log_.event("reset");
            card_.reset();
            return std::nullopt;
        case GetAtr:
            return AtrFor(options_, card_.image());
        default:
            log_.event("unknown control code " + tarvik::ToHex(message));
            return std::nullopt;
        }
    }
    log_.command(message);
    if (options_.dropAfterCommands >= 0 && commandsAnswered_ >= options_.dropAfterCommands) {
        log_.event("dropping the connection");
        dropRequested_ = true;
        return std::nullopt;
    }
    Bytes answer = card_.process(message);
    ++commandsAnswered_;
    // ETSI TS 102 221 §10.2.1.2: 63 CX, the update succeeded after X internal retries.
    constexpr std::uint8_t UpdateBinary = 0xD6, UpdateRecord = 0xDC;
    if (options_.updateRetries > 0 && message.size() >= 2 &&
        (message[1] == UpdateBinary || message[1] == UpdateRecord) && answer == Bytes{0x90, 0x00})
        answer = {0x63, static_cast<std::uint8_t>(0xC0 | options_.updateRetries)};
    for (const auto& fault : options_.shortAnswers) {
        if (message.size() >= 2 && message[1] == fault.ins) {
            auto keep = fault.length.value_or(answer.empty() ? 0 : answer.size() - 1);
            answer.resize(std::min(keep, answer.size()));
        }
    }
    log_.answer(answer);
    return answer;
}

CardServer::SessionEnd CardServer::serve(VpcdConnection& connection, int stopFd) {
    for (;;) {
        bool readable = false;
        if (!WaitReadable(connection.fd(), stopFd, -1, readable))
            return SessionEnd::Stopped;
        if (!readable)
            continue;
        auto message = connection.receive();
        if (!message)
            return SessionEnd::Closed;
        const auto arrived = std::chrono::steady_clock::now();
        auto answer = handleMessage(*message);
        if (dropRequested_)
            return SessionEnd::Dropped;
        if (answer && options_.realTiming &&
            !WaitUntil(arrived + CommandDuration(options_.timing, *message, *answer), stopFd))
            return SessionEnd::Stopped;
        if (answer && !connection.send(*answer))
            return SessionEnd::Closed;
    }
}

int CardServer::run(int stopFd) {
    std::string lastError;
    for (;;) {
        std::string error;
        auto connection = VpcdConnection::connect(options_.host, options_.port, error);
        if (!connection) {
            if (error != lastError)
                std::cerr << "simcard: " << error << ", retrying\n";
            lastError = error;
            bool readable = false;
            // Sleeps for the retry delay unless stopped.
            if (!WaitReadable(-1, stopFd, ReconnectDelayMs, readable))
                return 0;
            continue;
        }
        lastError.clear();
        card_.reset();
        log_.event("connected");
        auto end = serve(*connection, stopFd);
        switch (end) {
        case SessionEnd::Stopped:
            log_.event("stopped");
            return 0;
        case SessionEnd::Dropped:
            return 0;
        case SessionEnd::Closed:
            log_.event("vpcd closed the connection");
            if (options_.exitOnClose)
                return 0;
            break;
        }
    }
}

} // namespace simcard
