#pragma once

#include "editor/sim/CardPresence.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace tarvik {

// A reader of the PC/SC service, watched with SCardGetStatusChange: the thread sleeps in
// the service until the reader's state changes. Without a reader name the first reader
// that holds a card is taken, at once or as soon as one gets a card, and kept.
class PcscCardPresence final : public CardPresence {
public:
    explicit PcscCardPresence(std::optional<std::string> reader);
    ~PcscCardPresence() override;
    PcscCardPresence(const PcscCardPresence&) = delete;
    PcscCardPresence& operator=(const PcscCardPresence&) = delete;

    PresenceWait waitFor(bool present) override;
    bool goneWithin(std::chrono::milliseconds time) override;
    void cancel() override;
    std::string readerName() const override;
    std::string failure() const override { return failure_; }

private:
    bool Established();
    PresenceWait Fail(std::string why);
    PresenceWait WaitForAnyReader();

    std::intptr_t context_ = 0; // SCARDCONTEXT
    bool established_ = false;
    mutable std::mutex mutex_; // guards reader_ and context_ for cancel()
    std::string reader_;
    std::atomic<bool> cancelled_{false};
    // The reader's event count when the card in it was seen arrive: another count means
    // the card went out and one came in meanwhile.
    std::optional<unsigned long> insertedEvents_;
    std::string failure_;
};

} // namespace tarvik
