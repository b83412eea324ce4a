#pragma once

#include "editor/sim/CardBatch.h"
#include "editor/sim/CardProgramming.h"
#include "editor/sim/JobLog.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace tarvik {

// The work of a run over many readers, shared by one worker a reader: which program the
// next card gets, how many cards are left, which cards the run has seen and which are in
// hand now, and the job log. Programs are handed out in order to whichever card asks first;
// a card that fails gives its site back, and the earliest site given back goes out next.
// The run is over once `count` cards ended, every site ended on a card that ended ok, or
// stop() was called; the waits of the readers are then ended. Every member is safe to call
// from any thread.
class BatchWork {
public:
    // A card's hold on a program: the program's index in the settings and the card's number
    // in the run, from 1.
    struct Claim {
        std::size_t program = 0;
        int card = 0;
    };

    // `cardLogged` hears of each card after its line is logged, one card at a time, in the
    // order of the log; `endWaits` is called once the run is over or stopped.
    BatchWork(const BatchSettings& settings, JobLog* log,
              std::function<void(std::size_t reader, const CardJob& job)> cardLogged,
              std::function<void()> endWaits);

    // For a card now in a reader: returns once a program is free for it, or nothing when
    // the run is over. Waits while every site left, or every card `count` allows, is on
    // another reader's card.
    // `waiting` is called before it waits, when it must.
    std::optional<Claim> claim(const std::function<void()>& waiting = {});
    // What to do with the card of this ICCID in `reader`: refused while another reader
    // holds it; put back after it ended in this run, written again when `rewrite` says so.
    CardAdmission admit(std::size_t reader, const std::string& iccid,
                        const std::function<bool(const std::string&)>& rewrite);
    // The card in `reader` ended: logs its job, and gives its site back unless it ended ok.
    void finish(std::size_t reader, const Claim& claim, const CardAttempt& attempt);
    // The reader is gone; the others go on.
    void readerLost(const std::string& reader, const std::string& why);
    // No card gets a program after this; cards in hand are finished.
    void stop();
    bool over() const;
    BatchSummary summary() const;

private:
    bool overLocked() const;
    // Calls endWaits once, when the run has just become over; the lock is given up first.
    void endWaitsIfOver(std::unique_lock<std::mutex>& lock);

    const BatchSettings& settings_;
    JobLog* log_;
    std::function<void(std::size_t, const CardJob&)> cardLogged_;
    std::function<void()> endWaits_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::size_t> freeSites_; // with sites: those neither done nor on a card
    std::size_t sitesDone_ = 0;
    int inHand_ = 0;  // cards holding a claim
    int counted_ = 0; // cards that ended, as --count counts them
    int cardsClaimed_ = 0;
    std::set<std::string> seen_;                  // ICCIDs of cards this run wrote
    std::map<std::size_t, std::string> inReader_; // ICCID of the card each reader writes
    bool stopped_ = false;
    bool waitsEnded_ = false;
    BatchSummary summary_;
};

} // namespace tarvik
