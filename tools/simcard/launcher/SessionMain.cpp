// simcard-session: runs a program with a SIM card in a reader: a real card when asked and
// present, otherwise simcard on a card image the user keeps. See sessionUsage().

#include "tools/simcard/core/CardSettings.h"
#include "tools/simcard/core/Options.h"
#include "tools/simcard/fixture/CardStack.h"
#include "tools/simcard/fixture/ReaderWatch.h"
#include "tools/simcard/launcher/CommandRun.h"
#include "tools/simcard/launcher/DemoCard.h"
#include "tools/simcard/launcher/ReaderChoice.h"
#include "tools/simcard/launcher/SessionOptions.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A card in a real reader, when a pcscd runs and has one.
std::optional<std::string> FindRealCard() {
    if (!simcard::ReaderWatch::serviceRunning())
        return std::nullopt;
    try {
        const simcard::ReaderWatch watch;
        const auto readers = watch.readers();
        return simcard::RealCardReader(readers, watch.holdingCards(readers),
                                       simcard::VirtualReaderSlots(simcard::CardStack(), readers));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Ctrl+C and the like wait while the card is being set up, so that what was started is
// always stopped again.
sigset_t BlockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    ::sigprocmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

bool StopRequested(const sigset_t& signals) {
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        if (sigismember(&signals, signal) && sigismember(&pending, signal))
            return true;
    return false;
}

// The ICCID a new image of reader `index` gets: the one asked for (or simcard's default)
// plus 1000 for each reader before it, so that no two readers hold the same card.
std::string ReaderIccid(const std::string& asked, std::size_t index) {
    if (index == 0 || asked == "none")
        return asked;
    const std::string first =
        asked.empty() ? simcard::CardSettings{}.iccid.value_or(std::string()) : asked;
    return simcard::QueuedIccid(first, 1000 * index);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto parsed = simcard::ParseSessionArguments(arguments);
    if (parsed.help) {
        std::cout << simcard::SessionUsage();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "simcard-session: " << parsed.error << "\n" << simcard::SessionUsage();
        return 2;
    }
    const auto& options = parsed.options;
    const sigset_t stopSignals = BlockStopSignals();

    std::optional<std::string> reader = options.useRealCard ? FindRealCard() : std::nullopt;
    std::vector<std::unique_ptr<simcard::DemoCard>> demos;
    std::string readerNames;
    std::string pids;
    if (reader) {
        std::cerr << "simcard-session: using the card in '" << *reader << "'\n";
    } else {
        for (std::size_t i = 0; i < options.readers.size(); ++i) {
            const auto& queue = options.readers[i];
            try {
                demos.push_back(std::make_unique<simcard::DemoCard>(
                    queue, simcard::SimcardBesideThisProgram(), ReaderIccid(options.iccid, i),
                    options.cardArguments));
            } catch (const std::exception& e) {
                // The program still runs; it finds no card there and says so itself.
                std::cerr << "simcard-session: no virtual card " << queue.front() << ": "
                          << e.what() << "\n";
                continue;
            }
            const auto& demo = *demos.back();
            std::cerr << "simcard-session: virtual card " << queue.front() << " in '"
                      << demo.readerName() << "' (simcard " << demo.pid() << ")\n";
            readerNames += (readerNames.empty() ? "" : ",") + demo.readerName();
            pids += (pids.empty() ? "" : ",") + std::to_string(demo.pid());
        }
        if (!demos.empty())
            reader = demos.front()->readerName();
    }
    if (StopRequested(stopSignals))
        return 130;
    if (reader)
        ::setenv("QUENLIB_READER", reader->c_str(), 1);
    if (!demos.empty()) {
        ::setenv("SIMCARD_READERS", readerNames.c_str(), 1);
        ::setenv("SIMCARD_PIDS", pids.c_str(), 1);
    }
    return simcard::RunCommand(options.command);
}
