// simcard: a virtual GSM SIM for the vpcd reader driver. See README.md.

#include "base/UniqueFd.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/CardServer.h"
#include "tools/simcard/core/CommandLog.h"
#include "tools/simcard/core/Options.h"
#include "tools/simcard/core/SimCard.h"

#include <cerrno>
#include <csignal>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <poll.h>
#include <string_view>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

namespace {

// Every signal the card answers arrives through a descriptor that the server polls, so a
// signal can never be lost between a check and a blocking read. While a card is in, the
// descriptor carries SIGTERM, SIGINT and SIGUSR1 (take the card out); while it is out,
// SIGTERM, SIGINT and SIGUSR2 (put the next card in). All four stay blocked throughout.
sigset_t SignalSet(std::initializer_list<int> numbers) {
    sigset_t signals;
    sigemptyset(&signals);
    for (int number : numbers)
        sigaddset(&signals, number);
    return signals;
}

tarvik::UniqueFd SignalDescriptor(std::initializer_list<int> numbers) {
    const sigset_t signals = SignalSet(numbers);
    return tarvik::UniqueFd(signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK));
}

// The signal waiting on the descriptor, or 0 when none is; with `wait`, blocks for one.
int TakeSignal(int fd, bool wait) {
    if (wait) {
        pollfd ready{fd, POLLIN, 0};
        while (::poll(&ready, 1, -1) < 0 && errno == EINTR) {
        }
    }
    signalfd_siginfo info{};
    if (::read(fd, &info, sizeof info) != static_cast<ssize_t>(sizeof info))
        return 0;
    return static_cast<int>(info.ssi_signo);
}

// A take-out or put-in sent before the card got where it is means nothing any more.
void DropPendingChanges() {
    const sigset_t changes = SignalSet({SIGUSR1, SIGUSR2});
    const timespec now{};
    while (sigtimedwait(&changes, nullptr, &now) > 0) {
    }
}

simcard::CardImage OpenImage(const simcard::Options& options, const std::filesystem::path& path,
                             std::size_t place) {
    if (std::filesystem::exists(path))
        return simcard::CardImage::load(path);
    auto settings = options.settings;
    if (settings.iccid)
        settings.iccid = simcard::QueuedIccid(*settings.iccid, place);
    auto image = simcard::CardImage::create(settings);
    image.save(path);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    auto parsed = simcard::ParseArguments(arguments);
    if (parsed.help) {
        std::cout << simcard::Usage();
        return 0;
    }
    if (parsed.version) {
        std::cout << "simcard " << TARVIK_VERSION << '\n';
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "simcard: " << parsed.error << "\nTry 'simcard --help'.\n";
        return 2;
    }
    const auto& options = parsed.options;
    try {
        const sigset_t handled = SignalSet({SIGTERM, SIGINT, SIGUSR1, SIGUSR2});
        auto whileIn = SignalDescriptor({SIGTERM, SIGINT, SIGUSR1});
        auto whileOut = SignalDescriptor({SIGTERM, SIGINT, SIGUSR2});
        if (sigprocmask(SIG_BLOCK, &handled, nullptr) != 0 || !whileIn || !whileOut) {
            std::cerr << "simcard: cannot set up signal handling\n";
            return 1;
        }
        simcard::CommandLog log(options.commandLog);
        std::vector<std::filesystem::path> images{options.imagePath};
        images.insert(images.end(), options.queuedImages.begin(), options.queuedImages.end());
        for (std::size_t current = 0;;) {
            DropPendingChanges();
            const auto imagePath = images[current];
            simcard::SimCard card(OpenImage(options, imagePath, current),
                                  [imagePath](const simcard::CardImage& image) {
                                      try {
                                          image.save(imagePath);
                                          return true;
                                      } catch (const std::exception& e) {
                                          std::cerr << "simcard: " << e.what() << "\n";
                                          return false;
                                      }
                                  });
            simcard::CardServer server(card, options, log);
            const int status = server.run(whileIn.get());
            // The server also ends on the drop fault and, with --exit-on-close, when vpcd
            // closes: then no signal waits.
            if (TakeSignal(whileIn.get(), false) != SIGUSR1)
                return status;
            log.event("card taken out");
            if (TakeSignal(whileOut.get(), true) != SIGUSR2)
                return 0;
            current = (current + 1) % images.size();
            log.event("card put in: " + images[current].string());
        }
    } catch (const std::exception& e) {
        std::cerr << "simcard: " << e.what() << "\n";
        return 1;
    }
}
