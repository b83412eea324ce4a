#include "tools/simcard/launcher/DemoCard.h"

#include "tools/simcard/fixture/ProcessEnvironment.h"
#include "tools/simcard/fixture/ReaderWatch.h"

#include <chrono>
#include <stdexcept>
#include <unistd.h>

namespace simcard {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto LeaseTimeout = 10s;
constexpr auto CardTimeout = 10s;
// Longer than two polling rounds of pcscd (0.4 s each).
constexpr auto OccupiedTimeout = 1500ms;

} // namespace

fs::path SimcardBesideThisProgram() {
    if (const std::string program = EnvironmentOr("SIMCARD_PROGRAM", ""); !program.empty())
        return program;
    std::error_code error;
    const auto self = fs::read_symlink("/proc/self/exe", error);
    if (error)
        throw std::runtime_error("cannot find this program's folder");
    return self.parent_path() / "simcard";
}

DemoCard::DemoCard(const fs::path& image, const fs::path& simcardProgram, const std::string& iccid,
                   const std::vector<std::string>& cardArguments)
    : DemoCard(std::vector<fs::path>{image}, simcardProgram, iccid, cardArguments) {}

DemoCard::DemoCard(const std::vector<fs::path>& images, const fs::path& simcardProgram,
                   const std::string& iccid, const std::vector<std::string>& cardArguments) {
    if (images.empty())
        throw std::runtime_error("no card image");
    const fs::path& image = images.front();
    if (::access(simcardProgram.c_str(), X_OK) != 0)
        throw std::runtime_error("no simcard program at " + simcardProgram.string());
    auto slots = session_.slots();
    ReaderWatch watch;
    // A reader that keeps a card after pcscd polled it holds somebody else's card.
    for (;;) {
        if (slots.empty())
            throw std::runtime_error("every vpcd reader holds a card already");
        auto lease = session_.stack().lease(slots, LeaseTimeout);
        if (watch.waitFor(lease.slot().name, false, OccupiedTimeout)) {
            lease_ = std::move(lease);
            break;
        }
        std::erase(slots, lease.slot());
    }

    const fs::path output = fs::path(image).concat(".log");
    std::vector<std::string> arguments = {simcardProgram.string(),
                                          "--port",
                                          std::to_string(lease_.slot().port),
                                          "--image",
                                          image.string(),
                                          "--pin1-disabled",
                                          "--exit-on-close"};
    for (std::size_t i = 1; i < images.size(); ++i)
        arguments.insert(arguments.end(), {"--image", images[i].string()});
    if (!iccid.empty())
        arguments.insert(arguments.end(), {"--iccid", iccid});
    arguments.insert(arguments.end(), cardArguments.begin(), cardArguments.end());
    card_ = ChildProcess(arguments, output, ChildProcess::Lifetime::DiesWithParent);
    const auto deadline = std::chrono::steady_clock::now() + CardTimeout;
    while (!watch.waitFor(readerName(), true, 100ms)) {
        if (!card_.running())
            throw std::runtime_error("simcard ended at start (see " + output.string() + ")");
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("the reader '" + readerName() +
                                     "' did not report the card in time");
    }
}

DemoCard::~DemoCard() {
    // The card goes before the lease and the session, which may stop the pcscd.
    card_.stop();
    lease_ = ReaderLease();
}

} // namespace simcard
