// gsmmodem: a virtual GSM modem on a pseudo-terminal, for tests and the demo.

#include "base/UniqueFd.h"
#include "tools/gsmmodem/core/ModemEmulator.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <optional>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/signalfd.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    R"(Usage: gsmmodem [OPTION]...
A virtual GSM modem: opens a pseudo-terminal pair, prints the path of its serial side on
standard output, and answers the AT commands of a USB GSM modem in PDU mode there (echo until
ATE0, AT+CPIN, AT+CMGF=0, AT+CMGS with its "> " prompt, +CMGS references, AT+CMGL, AT+CMGR,
AT+CMGD, AT+CREG?, AT+CEREG?, AT+CSQ, AT+CGMI, AT+CGMM). It runs until SIGTERM or SIGINT.

Options:
  --link PATH       also make PATH a symbolic link to the serial side (removed at exit)
  --record FILE     append "pdu HEX" for every message received, "deleted N" for every
                    message deleted
  --pin PIN         the SIM asks for this PIN before it sends anything
  --fail K[:CODE]   answer the K-th message with +CMS ERROR: CODE (500 when not given)
  --mute-from K     answer nothing from the K-th AT+CMGS on
  --mute            answer nothing at all
  --reply TEXT      after each message, deliver TEXT from the destination (+CMTI)
  --reply-after MS  deliver the reply MS milliseconds after the message rather than at once
  --deliver cmt|cmti  replies go to the line (+CMT and the PDU) or are stored and announced
                    (+CMTI, the default)
  --reply-parts N   a reply comes in N concatenated parts
  --reply-reference 8|16
                    the parts' reference is 8-bit (the default) or 16-bit
  --register-after SECONDS
                    searching for the network until SECONDS after the start (AT+CREG?,
                    AT+CEREG?, AT+CSQ tell; AT+CMGS fails), then registered at home
  --chatter         unsolicited +CREG and RING lines before every answer
  --delay MS        wait MS milliseconds before every answer
  --help            show this help and exit
  --version         show the version and exit
)";

struct Settings {
    gsmmodem::ModemOptions modem;
    std::string link;
    std::string record;
    int delayMs = 0;
    int replyAfterMs = 0;
    int registerAfterSeconds = 0;
};

std::optional<std::size_t> Count(std::string_view text) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The settings, or an error message.
std::variant<Settings, std::string> Parse(const std::vector<std::string_view>& args) {
    Settings settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        auto value = [&]() -> std::optional<std::string_view> {
            if (i + 1 < args.size()) {
                return args[++i];
            }
            return std::nullopt;
        };
        if (arg == "--mute") {
            settings.modem.mute = true;
        } else if (arg == "--chatter") {
            settings.modem.chatter = true;
        } else if (arg == "--link" || arg == "--record" || arg == "--pin" || arg == "--fail" ||
                   arg == "--mute-from" || arg == "--reply" || arg == "--delay" ||
                   arg == "--reply-after" || arg == "--deliver" || arg == "--reply-parts" ||
                   arg == "--reply-reference" || arg == "--register-after") {
            const auto v = value();
            if (!v) {
                return std::string(arg) + " needs a value";
            }
            if (arg == "--link") {
                settings.link = *v;
            } else if (arg == "--record") {
                settings.record = *v;
            } else if (arg == "--pin") {
                settings.modem.pin = *v;
            } else if (arg == "--reply") {
                settings.modem.reply = *v;
            } else if (arg == "--deliver") {
                if (*v != "cmt" && *v != "cmti") {
                    return "--deliver takes cmt or cmti";
                }
                settings.modem.deliverToLine = *v == "cmt";
            } else if (arg == "--reply-reference") {
                if (*v != "8" && *v != "16") {
                    return "--reply-reference takes 8 or 16";
                }
                settings.modem.wideReference = *v == "16";
            } else if (arg == "--fail") {
                const std::size_t colon = v->find(':');
                const auto k = Count(v->substr(0, colon));
                const auto code = colon == std::string_view::npos ? std::optional<std::size_t>(500)
                                                                  : Count(v->substr(colon + 1));
                if (!k || *k == 0 || !code) {
                    return "--fail takes K or K:CODE, K from 1";
                }
                settings.modem.failMessage = *k;
                settings.modem.failCode = static_cast<int>(*code);
            } else {
                const auto n = Count(*v);
                const bool fromOne = arg == "--mute-from" || arg == "--reply-parts";
                if (!n || (fromOne && *n == 0) || (arg == "--reply-parts" && *n > 255)) {
                    return std::string(arg) + " takes a number" +
                           (arg == "--reply-parts" ? " from 1 to 255"
                            : fromOne              ? " from 1"
                                                   : "");
                }
                if (arg == "--reply-parts") {
                    settings.modem.replyParts = *n;
                } else if (arg == "--register-after") {
                    settings.registerAfterSeconds = static_cast<int>(*n);
                    settings.modem.registered = *n == 0;
                } else if (arg == "--mute-from") {
                    settings.modem.muteFrom = *n;
                } else if (arg == "--reply-after") {
                    settings.modem.replyLater = true;
                    settings.replyAfterMs = static_cast<int>(*n);
                } else {
                    settings.delayMs = static_cast<int>(*n);
                }
            }
        } else {
            return "unknown argument '" + std::string(arg) + "'";
        }
    }
    return settings;
}

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
    if (args.size() == 1 && args[0] == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "gsmmodem " << TARVIK_VERSION << '\n';
        return 0;
    }
    auto parsed = Parse(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "gsmmodem: " << *error << "\nTry 'gsmmodem --help'.\n";
        return 2;
    }
    const Settings& settings = std::get<Settings>(parsed);

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
