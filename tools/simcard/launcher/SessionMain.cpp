// simcard-session: runs a program with a SIM card in a reader: a real card when asked and
// present, otherwise simcard on a card image the user keeps. See sessionUsage().

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

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto parsed = simcard::parseSessionArguments(arguments);
    if (parsed.help) {
        std::cout << simcard::sessionUsage();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "simcard-session: " << parsed.error << "\n" << simcard::sessionUsage();
        return 2;
    }
    const auto& options = parsed.options;
    const sigset_t stopSignals = BlockStopSignals();

    std::optional<std::string> reader = options.useRealCard ? FindRealCard() : std::nullopt;
    std::unique_ptr<simcard::DemoCard> demo;
    if (reader) {
        std::cerr << "simcard-session: using the card in '" << *reader << "'\n";
    } else {
        try {
            demo = std::make_unique<simcard::DemoCard>(options.image,
                                                       simcard::SimcardBesideThisProgram(),
                                                       options.iccid, options.cardArguments);
            reader = demo->readerName();
            std::cerr << "simcard-session: virtual card " << options.image << " in '" << *reader
                      << "'\n";
        } catch (const std::exception& e) {
            // The program still runs; it finds no card and says so itself.
            std::cerr << "simcard-session: no virtual card: " << e.what() << "\n";
        }
    }
    if (StopRequested(stopSignals))
        return 130;
    if (reader)
        ::setenv("QUENLIB_READER", reader->c_str(), 1);
    return simcard::RunCommand(options.command);
}
