// simcard: a virtual GSM SIM for the vpcd reader driver. See README.md.

#include "base/UniqueFd.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/core/CardServer.h"
#include "tools/simcard/core/CommandLog.h"
#include "tools/simcard/core/Options.h"
#include "tools/simcard/core/SimCard.h"

#include <csignal>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <sys/signalfd.h>
#include <vector>

namespace {

// SIGTERM and SIGINT arrive through a descriptor that the server polls, so a signal can
// never be lost between a check and a blocking read.
tarvik::UniqueFd stopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0)
        return {};
    return tarvik::UniqueFd(signalfd(-1, &signals, SFD_CLOEXEC));
}

simcard::CardImage openImage(const simcard::Options& options) {
    if (std::filesystem::exists(options.imagePath))
        return simcard::CardImage::load(options.imagePath);
    auto image = simcard::CardImage::create(options.settings);
    image.save(options.imagePath);
    return image;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    auto parsed = simcard::parseArguments(arguments);
    if (parsed.help) {
        std::cout << simcard::usage();
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
        auto stop = stopSignals();
        if (!stop) {
            std::cerr << "simcard: cannot set up signal handling\n";
            return 1;
        }
        simcard::CommandLog log(options.commandLog);
        const auto imagePath = options.imagePath;
        simcard::SimCard card(openImage(options), [imagePath](const simcard::CardImage& image) {
            try {
                image.save(imagePath);
                return true;
            } catch (const std::exception& e) {
                std::cerr << "simcard: " << e.what() << "\n";
                return false;
            }
        });
        simcard::CardServer server(card, options, log);
        return server.run(stop.get());
    } catch (const std::exception& e) {
        std::cerr << "simcard: " << e.what() << "\n";
        return 1;
    }
}
