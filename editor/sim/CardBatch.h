#pragma once

#include "editor/sim/BackupStore.h"
#include "editor/sim/CardJob.h"
#include "editor/sim/CardPort.h"
#include "editor/sim/CardPresence.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/TransferWindow.h"

#include <atomic>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tarvik {

// One program of a run: the lines (8-bit program text) and, with sites, the site's row.
struct BatchProgram {
    std::optional<int> row;
    std::vector<std::string> lines;
};

struct BatchSettings {
    // Without sites one program for every card; with sites one a site, in order, each
    // given to cards until one ends ok.
    std::vector<BatchProgram> programs;
    bool perSite = false;
    std::string programName; // for the job log
    bool deleteAll = true;
    std::optional<std::string> pin; // 8-bit, as the card takes it
    std::optional<int> count;       // stop after this many cards
    const BackupStore* backups = nullptr;
};

// Where a run stands, for whoever shows it.
enum class BatchPhase {
    WaitingForCard,    // "Insert the next card"
    Writing,           // a card is read, backed up and written
    Verifying,         // the card is read back
    WaitingForRemoval, // "Take the card out"
};

// What a run tells the one who runs it.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    // The phase changed; card is the number (from 1) of the card in hand or awaited.
    virtual void phase(BatchPhase phase, int card) = 0;
    // A card ended, after its line was logged.
    virtual void cardEnded(const CardJob& job) = 0;
    // The card with this ICCID was in this run before: write it again?
    virtual bool rewriteSameCard(const std::string& iccid) = 0;
};

// How a run ended.
struct BatchSummary {
    int cards = 0;   // cards that ended, whatever their outcome
    int cardsOk = 0; // of them ended ok
    bool stopped = false;
    // The run ended early for a reason that would fail every card after: the backup
    // folder, the job log, the reader. error says why.
    bool backupFailed = false;
    bool readerFailed = false;
    std::string error;
    // Readers that went away during the run, each as "reader: why"; the others went on.
    std::vector<std::string> lostReaders;
    bool allOk() const { return cards == cardsOk && error.empty(); }
};

// Programs card after card: waits for a card in the reader, writes its program as Write
// SIM does (the backup first), reads it back to verify, logs the card, and waits for it to
// be taken out before it waits for the next. A card that fails does not end the run. The
// run ends after `count` cards, after the last site, or after stop().
class CardBatch {
public:
    CardBatch(BatchSettings settings, CardPort& port, CardPresence& presence,
              TransferWindow& window, BatchObserver& observer, JobLog* log)
        : settings_(std::move(settings)), port_(port), presence_(presence), window_(window),
          observer_(observer), log_(log) {}

    BatchSummary Run();
    // Ends the run once the card in hand is done (at once while no card is in hand). Safe
    // to call from any thread, or from a callback of the observer.
    void Stop();

private:
    // The card's job; nothing when it was not written (same card, the user said no).
    std::optional<CardJob> ProgramCard(const BatchProgram& program, BatchSummary& summary);

    BatchSettings settings_;
    CardPort& port_;
    CardPresence& presence_;
    TransferWindow& window_;
    BatchObserver& observer_;
    JobLog* log_;
    std::atomic<bool> stopRequested_{false};
    int card_ = 0;               // the number of the card in hand or awaited, from 1
    std::set<std::string> seen_; // the ICCIDs of this run's cards
};

} // namespace tarvik
