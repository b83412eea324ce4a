// Programming cards in a row on several readers at once, each reader on its own thread with
// a queue of cards in memory: which card each site ends on, the job log, a card in two
// readers, a reader that goes away, and stopping.
#include "editor/sim/MultiReaderBatch.h"

#include "editor/sim/testing/MemoryCardPort.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>

namespace tarvik::testing {
namespace {

using namespace std::chrono_literals;

// A reader with a queue of cards in memory: each wait for a card puts the next one in, a
// wait for none takes it out. With its queue used up a wait for a card sleeps until it is
// cancelled; `shelfEmpty` hears when it starts to. `lostAfterCards`: the reader goes away
// once that many cards were in it (a wait then fails, and a card in it is gone).
class QueueReader final : public CardPresence, public CardPort {
public:
    explicit QueueReader(std::string name) : name_(std::move(name)) {}

    MemoryCardPort& add(int records = 100, std::string iccid = {}) {
        cards.push_back(std::make_unique<MemoryCardPort>(records));
        cards.back()->iccidDigits = iccid.empty() ? NextIccid() : iccid;
        return *cards.back();
    }

    std::vector<std::unique_ptr<MemoryCardPort>> cards;
    std::function<void()> shelfEmpty;
    std::optional<int> lostAfterCards;
    // Called before the first write of each card, on the reader's thread.
    std::function<void(MemoryCardPort&)> beforeWrite;
    bool timedOut = false;

    PresenceWait waitFor(bool present) override {
        std::unique_lock lock(mutex_);
        if (cancelled_) {
            return PresenceWait::Cancelled;
        }
        if (lostAfterCards && current_ + 1 >= *lostAfterCards) {
            return PresenceWait::Failed;
        }
        if (present && !in_) {
            if (current_ + 1 == static_cast<int>(cards.size())) {
                if (shelfEmpty) {
                    lock.unlock();
                    shelfEmpty();
                    lock.lock();
                }
                timedOut = !changed_.wait_for(lock, 10s, [this] { return cancelled_; });
                return PresenceWait::Cancelled;
            }
            ++current_;
            written_ = false;
        }
        in_ = present;
        return PresenceWait::Reached;
    }
    bool goneWithin(std::chrono::milliseconds) override {
        return !in_ || now().pulled || lostAfterCards.has_value();
    }
    void cancel() override {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        changed_.notify_all();
    }
    std::string readerName() const override { return name_; }
    std::string failure() const override { return "the reader is gone"; }

    void connect() override { now().connect(); }
    CardAccess access() override { return now().access(); }
    bool disablePin(std::string_view pin) override { return now().disablePin(pin); }
    int pinRemaining() override { return now().pinRemaining(); }
    void dropConnection() override { now().dropConnection(); }
    std::optional<std::string> iccid() override { return now().iccid(); }
    std::optional<PhonebookGeometry> selectPhonebook() override { return now().selectPhonebook(); }
    std::optional<SimItem> readItem(int i) override { return now().readItem(i); }
    std::optional<RecordBytes> readRecord(int i) override { return now().readRecord(i); }
    std::vector<RecordBytes> extensionRecords() override { return now().extensionRecords(); }
    bool writeItem(int i, std::u16string_view name, std::u16string_view number) override {
        if (!written_ && beforeWrite) {
            beforeWrite(now());
        }
        written_ = true;
        return now().writeItem(i, name, number);
    }
    bool writeRecord(int i, std::span<const std::uint8_t> bytes) override {
        return now().writeRecord(i, bytes);
    }
    bool replaceExtensionRecords(std::span<const RecordBytes> records) override {
        return now().replaceExtensionRecords(records);
    }
    bool flush() override { return now().flush(); }

private:
    static std::string NextIccid() {
        static std::atomic<int> next{100};
        return "8949000000000000" + std::to_string(next++);
    }
    MemoryCardPort& now() { return *cards.at(static_cast<std::size_t>(current_)); }

    std::string name_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool cancelled_ = false;
    int current_ = -1;
    bool in_ = false;
    bool written_ = false;
};

class Observer final : public ReadersObserver {
public:
    void phase(std::size_t reader, ReaderPhase phase, int) override {
        if (onPhase) {
            onPhase(reader, phase);
        }
    }
    void cardEnded(std::size_t reader, const CardJob& job) override {
        const std::lock_guard lock(mutex);
        jobs.push_back(job);
        readers.push_back(reader);
        if (onCardEnded) {
            onCardEnded(job);
        }
    }
    bool rewriteSameCard(const std::string&) override { return false; }

    std::mutex mutex;
    std::vector<CardJob> jobs; // in the order cardEnded came
    std::vector<std::size_t> readers;
    std::function<void(std::size_t, ReaderPhase)> onPhase;
    std::function<void(const CardJob&)> onCardEnded;
};

class MultiReaderBatchTest : public ::testing::Test {
protected:
    QueueReader& reader(std::size_t i) {
        while (readers.size() <= i) {
            readers.push_back(
                std::make_unique<QueueReader>("Reader " + std::to_string(readers.size())));
        }
        return *readers[i];
    }
    void SetSites(int sites) {
        settings.perSite = sites > 0;
        for (int site = 1; site <= sites; ++site) {
            settings.programs.push_back({site, {"TL1=06000" + std::to_string(site), "RFT=1"}});
        }
    }
    BatchSummary Run() {
        settings.programName = "alarm.sim";
        settings.backups = &backups;
        if (settings.programs.empty()) {
            settings.programs = {{std::nullopt, {"TL1=0612345678", "RFT=1"}}};
        }
        std::vector<CardSeat> seats;
        for (auto& r : readers) {
            seats.push_back({*r, *r, window});
            // Out of cards everywhere: the user stops the run.
            r->shelfEmpty = [this] {
                if (++emptyShelves == static_cast<int>(readers.size())) {
                    batch->stop();
                }
            };
        }
        EXPECT_EQ(log.open(folder.path() / "jobs.csv"), "");
        batch.emplace(settings, std::move(seats), observer, &log);
        const BatchSummary summary = batch->run();
        for (auto& r : readers) {
            EXPECT_FALSE(r->timedOut) << r->readerName() << " waited for ever";
        }
        return summary;
    }
    std::vector<std::string> Outcomes() const {
        std::vector<std::string> words;
        for (const CardJob& job : observer.jobs) {
            words.emplace_back(OutcomeWord(job.outcome));
        }
        return words;
    }
    // The rows of the cards that ended ok, in the order they ended.
    std::multiset<int> OkRows() const {
        std::multiset<int> rows;
        for (const CardJob& job : observer.jobs) {
            if (job.outcome == CardOutcome::Ok) {
                rows.insert(job.row.value_or(0));
            }
        }
        return rows;
    }

    std::vector<std::unique_ptr<QueueReader>> readers;
    QuietTransferWindow window;
    Observer observer;
    TemporaryFolder folder;
    BackupStore backups{folder.path() / "backups"};
    JobLog log;
    BatchSettings settings;
    std::atomic<int> emptyShelves{0};
    std::optional<MultiReaderBatch> batch;
};

// Whatever reader is ready first, each site ends on exactly one card that ended ok, and
// holds that site's number; the job log has a whole line a card, in the order they ended.
TEST_F(MultiReaderBatchTest, EverySiteEndsOnExactlyOneCardAndTheLogHasEveryCardInOrder) {
    struct Case {
        const char* what;
        std::vector<std::vector<int>> queues; // records of each reader's cards; 7 is too few
        int sites;
        std::optional<int> count;
        int okCards;
        int cards;
    };
    const Case cases[] = {
        {"four readers, ten sites",
         {{100, 100, 100}, {100, 100, 100}, {100, 100, 100}, {100, 100, 100}},
         10,
         std::nullopt,
         10,
         10},
        {"fewer sites than readers", {{100}, {100}, {100}, {100}}, 2, std::nullopt, 2, 2},
        {"a card too small gives its site back", {{7, 100}, {100, 100}}, 3, std::nullopt, 3, 4},
        {"a count and no sites", {{100, 100, 100}, {100, 100, 100}, {100, 100, 100}}, 0, 5, 5, 5},
        {"the cards run out first", {{100}, {100}}, 4, std::nullopt, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        readers.clear();
        observer.jobs.clear();
        settings = {};
        emptyShelves = 0;
        log = JobLog{}; // closed first: Windows removes no file that is open
        std::filesystem::remove(folder.path() / "jobs.csv");
        for (std::size_t r = 0; r < c.queues.size(); ++r) {
            for (const int records : c.queues[r]) {
                reader(r).add(records);
            }
        }
        SetSites(c.sites);
        settings.count = c.count;
        const BatchSummary summary = Run();

        EXPECT_EQ(summary.cards, c.cards);
        EXPECT_EQ(summary.cardsOk, c.okCards);
        if (c.sites > 0 && c.okCards == c.sites) {
            std::multiset<int> all;
            for (int site = 1; site <= c.sites; ++site) {
                all.insert(site);
            }
            EXPECT_EQ(OkRows(), all);
        }
        // Each card that ended ok holds its own site's number.
        for (const CardJob& job : observer.jobs) {
            if (job.outcome != CardOutcome::Ok || !job.row) {
                continue;
            }
            for (const auto& r : readers) {
                for (const auto& card : r->cards) {
                    if (card->iccidDigits == job.iccid) {
                        const std::string number = "06000" + std::to_string(*job.row);
                        EXPECT_EQ(card->item(0).number,
                                  std::u16string(number.begin(), number.end()));
                    }
                }
            }
        }
        std::string expected(JobLog::header);
        expected += "\r\n";
        for (const CardJob& job : observer.jobs) {
            expected += JobLine(job);
        }
        EXPECT_EQ(ReadAll((folder.path() / "jobs.csv").string()), expected);
    }
}

// Two readers handed the same card image (one ICCID) at once: the second is refused and
// logged so, and its card is left alone; its reader goes on with its next card.
TEST_F(MultiReaderBatchTest, TheSameCardInTwoReadersAtOnceIsRefusedInTheSecond) {
    const std::string iccid = "8949000000000000777";
    std::promise<void> firstWriting;
    std::promise<void> secondRefused;
    reader(0).add(100, iccid);
    reader(0).beforeWrite = [&](MemoryCardPort&) {
        firstWriting.set_value();
        secondRefused.get_future().wait_for(5s);
    };
    reader(1).add(100, iccid);
    reader(1).add(100);
    // The second reader's card comes once the first is being written.
    auto firstIsWriting = firstWriting.get_future().share();
    observer.onPhase = [&](std::size_t r, ReaderPhase phase) {
        if (r == 1 && phase == ReaderPhase::WaitingForCard) {
            firstIsWriting.wait_for(5s);
        }
    };
    observer.onCardEnded = [&](const CardJob& job) {
        if (job.outcome == CardOutcome::DuplicateCard) {
            secondRefused.set_value();
        }
    };
    settings.count = 2;
    const BatchSummary summary = Run();
    EXPECT_EQ(Outcomes(), (std::vector<std::string>{"duplicate-iccid", "ok", "ok"}));
    EXPECT_EQ(observer.jobs[0].reader, "Reader 1");
    EXPECT_TRUE(reader(1).cards[0]->updatedRecords.empty()) << "the refused card is untouched";
    EXPECT_EQ(summary.cards, 3);
    EXPECT_FALSE(summary.allOk());
}

TEST_F(MultiReaderBatchTest, AReaderThatGoesAwayLosesItsCardAndTheOthersGoOn) {
    struct Case {
        const char* what;
        int readersLeft;
        bool readerFailed;
    };
    const Case cases[] = {{"one of two goes", 1, false}, {"both go", 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        readers.clear();
        observer.jobs.clear();
        settings = {};
        log = JobLog{}; // closed first: Windows removes no file that is open
        std::filesystem::remove(folder.path() / "jobs.csv");
        // Reader 0 goes away during its first card's write.
        reader(0).add().updatesBeforePull = 1;
        reader(0).lostAfterCards = 1;
        reader(1).add().updatesBeforePull = c.readersLeft == 0 ? 1 : -1;
        reader(1).lostAfterCards = c.readersLeft == 0 ? std::optional<int>(1) : std::nullopt;
        reader(1).add();
        reader(1).add();
        SetSites(2);
        const BatchSummary summary = Run();
        EXPECT_EQ(summary.readerFailed, c.readerFailed);
        ASSERT_FALSE(summary.lostReaders.empty());
        EXPECT_EQ(summary.lostReaders[0].rfind("Reader ", 0), 0u);
        std::vector<std::string> removedIn;
        for (const CardJob& job : observer.jobs) {
            if (job.outcome == CardOutcome::CardRemoved) {
                removedIn.push_back(job.reader);
            }
        }
        EXPECT_EQ(removedIn.size(), static_cast<std::size_t>(2 - c.readersLeft));
        if (c.readersLeft == 1) {
            EXPECT_EQ(summary.lostReaders,
                      (std::vector<std::string>{"Reader 0: the reader is gone"}));
            EXPECT_EQ(OkRows(), (std::multiset<int>{1, 2})) << "the lost card's site went on";
        }
    }
}

// The first Ctrl+C: every card in hand is finished, and no reader takes another.
TEST_F(MultiReaderBatchTest, StopFinishesEveryCardInHandAndTakesNoOther) {
    std::promise<void> stopped;
    auto afterStop = stopped.get_future().share();
    std::atomic<int> writing{0};
    for (std::size_t r = 0; r < 2; ++r) {
        reader(r).add();
        reader(r).add();
        reader(r).beforeWrite = [&](MemoryCardPort&) { afterStop.wait_for(5s); };
    }
    observer.onPhase = [&](std::size_t, ReaderPhase phase) {
        if (phase == ReaderPhase::Writing && ++writing == 2) {
            batch->stop();
            stopped.set_value();
        }
    };
    const BatchSummary summary = Run();
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(Outcomes(), (std::vector<std::string>{"ok", "ok"}));
    for (const auto& r : readers) {
        EXPECT_TRUE(r->cards[1]->updatedRecords.empty()) << "no second card";
    }
}

} // namespace
} // namespace tarvik::testing
