#pragma once

#include "editor/sim/BatchWork.h"
#include "editor/sim/CardBatch.h"
#include "editor/sim/CardProgramming.h"
#include "editor/sim/JobLog.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tarvik {

// Where one reader of a run over many readers stands, for whoever shows it.
enum class ReaderPhase {
    WaitingForCard,    // "Insert a card"
    WaitingForSite,    // a card is in, and every site left is on another reader's card
    Writing,           // the card is read, backed up and written
    Verifying,         // the card is read back
    WaitingForRemoval, // "Take the card out"
    Finished,          // the run is over for this reader
    Lost,              // the reader went away; the others go on
};

// What a run over many readers tells the one who runs it. Calls come from the readers'
// threads, several at once.
class ReadersObserver {
public:
    virtual ~ReadersObserver() = default;
    // The reader's phase changed; card is the run's number (from 1) of the card in hand,
    // 0 when there is none.
    virtual void phase(std::size_t reader, ReaderPhase phase, int card) = 0;
    // A card ended, after its line was logged. One at a time, in the log's order.
    virtual void cardEnded(std::size_t reader, const CardJob& job) = 0;
    // The card with this ICCID was in this run before: write it again?
    virtual bool rewriteSameCard(const std::string& iccid) = 0;
};

// Programs cards in a row on every reader at once: one worker a reader, each waiting for
// its own cards and programming them as the one-reader run does, over the work they share
// (BatchWork: sites, count, the cards seen, one job log). A card whose ICCID another reader
// holds is refused. A reader that goes away ends its worker only; its card in hand ends
// card-removed and its site goes to another card. The run ends when the sites or the count
// are used up, or after stop() once every card in hand is done.
class MultiReaderBatch {
public:
    // The readers' seats outlive the run; each reader's port is its own connection.
    MultiReaderBatch(BatchSettings settings, std::vector<CardSeat> readers,
                     ReadersObserver& observer, JobLog* log);

    // Returns once every reader's worker ended.
    BatchSummary run();
    // Finishes the cards in hand and takes no other. Safe to call from any thread.
    void stop() { work_.stop(); }

private:
    void serve(std::size_t reader);

    BatchSettings settings_;
    std::vector<CardSeat> readers_;
    ReadersObserver& observer_;
    BatchWork work_;
};

} // namespace tarvik
