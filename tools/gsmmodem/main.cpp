// gsmmodem: a virtual GSM modem on a pseudo-terminal, for tests and the demo.

#include "base/UniqueFd.h"
#include "tools/gsmmodem/core/ModemEmulator.h"
#include "tools/gsmmodem/core/ModemSettings.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/signalfd.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

tarvik::UniqueFd StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) {
        return {};
    }
    return tarvik::UniqueFd(signalfd(-1, &signals, SFD_CLOEXEC));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int Fail(const std::string& what) {
    std::cerr << "gsmmodem: " << what << ": " << std::strerror(errno) << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const gsmmodem::ParsedModemArgs parsed = gsmmodem::ParseModemArgs(args);
    if (parsed.help) {
        std::cout << gsmmodem::ModemUsage();
        return 0;
    }
    if (parsed.version) {
        std::cout << "gsmmodem " << TARVIK_VERSION << '\n';
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "gsmmodem: " << parsed.error << "\nTry 'gsmmodem --help'.\n";
        return 2;
    }
    const gsmmodem::ModemSettings& settings = parsed.settings;

    const auto stop = StopSignals();
    tarvik::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        return Fail("cannot open a pseudo-terminal");
    }
    const std::string slavePath = ::ptsname(master.get());
    // The modem keeps the serial side open itself, raw, so that the line discipline never
    // echoes or edits, and a program that closes the port does not hang up the modem.
    tarvik::UniqueFd slave(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    termios tio{};
    if (!slave || ::tcgetattr(slave.get(), &tio) != 0) {
        return Fail(slavePath);
    }
    ::cfmakeraw(&tio);
    ::tcsetattr(slave.get(), TCSANOW, &tio);
    if (!settings.link.empty()) {
        ::unlink(settings.link.c_str());
        if (::symlink(slavePath.c_str(), settings.link.c_str()) != 0) {
            return Fail(settings.link);
        }
    }
    std::ofstream record;
    if (!settings.record.empty()) {
        record.open(settings.record, std::ios::app);
        if (!record) {
            return Fail(settings.record);
        }
    }
    std::cout << slavePath << std::endl;

    gsmmodem::ModemEmulator modem(settings.modem);
    const auto registerAt =
        std::chrono::steady_clock::now() + std::chrono::seconds(settings.registerAfterSeconds);
    int status = 0;
    for (;;) {
        pollfd fds[2] = {{master.get(), POLLIN, 0}, {stop.get(), POLLIN, 0}};
        const int wait = modem.hasPending() ? settings.replyAfterMs : -1;
        const int ready = ::poll(fds, 2, wait);
        if (ready == 0) {
            WriteAll(master.get(), modem.deliverPending());
            continue;
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            status = Fail("poll");
            break;
        }
        if (fds[1].revents != 0) {
            break;
        }
        char buffer[1024];
        const ssize_t got = ::read(master.get(), buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO)) {
                // EIO: nobody holds the serial side just now.
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            break;
        }
        if (std::chrono::steady_clock::now() >= registerAt) {
            modem.setRegistered(true);
        }
        const std::string answer =
            modem.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
        for (const auto& event : modem.takeEvents()) {
            if (record.is_open()) {
                record << event << std::endl;
            }
        }
        if (!answer.empty()) {
            if (settings.delayMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(settings.delayMs));
            }
            WriteAll(master.get(), answer);
        }
    }
    if (!settings.link.empty()) {
        ::unlink(settings.link.c_str());
    }
    return status;
}
