#pragma once

#include "tools/simcard/fixture/CardStack.h"
#include "tools/simcard/fixture/ChildProcess.h"
#include "tools/simcard/fixture/StackSession.h"

#include <filesystem>
#include <string>
#include <vector>

namespace simcard {

// A simcard process on a card image the user keeps, in a vpcd reader of the running pcscd
// (a private pcscd is started when none runs). The reader slot is leased like the test
// cards' slots, so tests and sessions never share a reader. Destroying it stops the card,
// gives the slot back, and stops the private pcscd when nobody else uses it; so does the
// stack session's guard when this process ends without destroying it.
class DemoCard {
public:
    // Returns once the reader reports the card. A new image gets the ICCID when one is
    // given, and is shaped by `cardArguments` (simcard's options). Throws
    // std::runtime_error when that fails.
    DemoCard(const std::filesystem::path& image, const std::filesystem::path& simcardProgram,
             const std::string& iccid = {}, const std::vector<std::string>& cardArguments = {});
    // The same with cards queued behind the first (simcard's further --image options).
    DemoCard(const std::vector<std::filesystem::path>& images,
             const std::filesystem::path& simcardProgram, const std::string& iccid = {},
             const std::vector<std::string>& cardArguments = {});
    ~DemoCard();
    DemoCard(const DemoCard&) = delete;
    DemoCard& operator=(const DemoCard&) = delete;

    const std::string& readerName() const { return lease_.slot().name; }
    // The simcard process, for its card-changing signals.
    pid_t pid() const { return card_.pid(); }

private:
    StackSession session_;
    ReaderLease lease_;
    ChildProcess card_;
};

// simcard beside the running program (SIMCARD_PROGRAM overrides).
std::filesystem::path SimcardBesideThisProgram();

} // namespace simcard
