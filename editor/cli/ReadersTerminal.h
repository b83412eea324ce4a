#pragma once

#include "editor/sim/MultiReaderBatch.h"

#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

namespace tarvik::cli {

// Tells on the terminal where each reader of a run over many readers stands, a line at a
// time with the reader's name in front, asks about a card put back, and knows each
// reader's card in hand for a stop at once. Safe to call from the readers' threads.
class ReadersTerminal final : public ReadersObserver {
public:
    ReadersTerminal(std::vector<std::string> readers, std::istream& in, std::ostream& err,
                    bool rewrite);

    void phase(std::size_t reader, ReaderPhase phase, int card) override;
    void cardEnded(std::size_t reader, const CardJob& job) override;
    bool rewriteSameCard(const std::string& iccid) override;

    // How a stop now leaves each reader's card, a line a reader.
    std::string leftInHand() const;
    // Whether a stop now leaves every card as it should be: none in the middle of its write
    // or read-back, and none of the run failed.
    bool cleanStop() const;
    // Writes a line at once, between the others; gives up after a moment when a question
    // holds the terminal.
    void say(const std::string& line);

private:
    struct Reader {
        std::string name;
        ReaderPhase phase = ReaderPhase::WaitingForCard;
        int card = 0;
    };
    void write(std::size_t reader, const std::string& text);

    std::vector<Reader> readers_;
    bool anyFailed_ = false;
    std::istream& in_;
    std::ostream& err_;
    bool rewrite_;
    mutable std::mutex stateMutex_; // readers_' phases and cards; never held for output
    std::timed_mutex outputMutex_;  // the terminal, held while a question waits
};

} // namespace tarvik::cli
