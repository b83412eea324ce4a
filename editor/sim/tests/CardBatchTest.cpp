// Programming cards in a row over cards in memory: how each card ends, what the job log
// says, sites, the same card twice, and stopping.
#include "editor/sim/CardBatch.h"

#include "editor/sim/testing/MemoryCardPort.h"
#include "editor/sim/tests/RecordingWindow.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace tarvik::testing {
namespace {

// A reader with a queue of cards in memory: each wait for a card puts the next one in, a
// wait for none takes it out. When the queue is empty the wait is cancelled, as if the
// user stopped.
class FakeReader final : public CardPresence, public CardPort {
public:
    MemoryCardPort& add(int records = 100) {
        cards.push_back(std::make_unique<MemoryCardPort>(records));
        cards.back()->iccidDigits = "89490000000000000" + std::to_string(10 + cards.size());
        storesWrites.push_back(true);
        return *cards.back();
    }
    MemoryCardPort& card(std::size_t i) { return *cards.at(i); }

    std::vector<std::unique_ptr<MemoryCardPort>> cards;
    std::vector<bool> storesWrites; // false: the card acknowledges writes and keeps nothing
    int current = -1;
    bool in = false;
    bool cancelled = false;
    std::vector<bool> waits; // what each wait asked for

    PresenceWait waitFor(bool present) override {
        waits.push_back(present);
        if (cancelled) {
            return PresenceWait::Cancelled;
        }
        if (present && !in) {
            if (current + 1 == static_cast<int>(cards.size())) {
                cancelled = true;
                return PresenceWait::Cancelled;
            }
            ++current;
        }
        in = present;
        return PresenceWait::Reached;
    }
    bool goneWithin(std::chrono::milliseconds) override { return !in || now().pulled; }
    void cancel() override { cancelled = true; }
    std::string readerName() const override { return "Reader 0"; }
    std::string failure() const override { return {}; }

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
        return !storesWrites.at(static_cast<std::size_t>(current)) ||
               now().writeItem(i, name, number);
    }
    bool writeRecord(int i, std::span<const std::uint8_t> bytes) override {
        return now().writeRecord(i, bytes);
    }
    bool replaceExtensionRecords(std::span<const RecordBytes> records) override {
        return now().replaceExtensionRecords(records);
    }
    bool flush() override { return now().flush(); }

private:
    MemoryCardPort& now() { return *cards.at(static_cast<std::size_t>(current)); }
};

class Observer final : public BatchObserver {
public:
    void phase(BatchPhase phase, int card) override {
        phases.emplace_back(phase, card);
        if (onPhase) {
            onPhase(phase, card);
        }
    }
    void cardEnded(const CardJob& job) override { jobs.push_back(job); }
    bool rewriteSameCard(const std::string& iccid) override {
        asked.push_back(iccid);
        return rewrite;
    }

    std::vector<std::pair<BatchPhase, int>> phases;
    std::vector<CardJob> jobs;
    std::vector<std::string> asked;
    bool rewrite = false;
    std::function<void(BatchPhase, int)> onPhase;
};

const std::vector<std::string> kProgram = {"TL1=0612345678", "RED=5", "RFT=1"};

class CardBatchTest : public ::testing::Test {
protected:
    BatchSummary Run() {
        settings.programName = "alarm.sim";
        settings.backups = &backups;
        if (settings.programs.empty()) {
            settings.programs = {{std::nullopt, kProgram}};
        }
        batch.emplace(settings, reader, reader, window, observer, nullptr);
        return batch->Run();
    }
    std::vector<std::string> outcomes() const {
        std::vector<std::string> words;
        for (const CardJob& job : observer.jobs) {
            words.emplace_back(OutcomeWord(job.outcome));
        }
        return words;
    }

    FakeReader reader;
    RecordingWindow window;
    Observer observer;
    TemporaryFolder folder;
    BackupStore backups{folder.path() / "backups"};
    BatchSettings settings;
    std::optional<CardBatch> batch;
};

TEST_F(CardBatchTest, EachCardEndsWithItsOutcomeAndTheRunGoesOn) {
    struct Case {
        const char* what;
        int records;
        std::function<void(MemoryCardPort&)> setup;
        std::optional<std::string> pin;
        std::string outcome;
    };
    const Case cases[] = {
        {"a blank card", 100, [](MemoryCardPort&) {}, std::nullopt, "ok"},
        {"a 7-record card", 7, [](MemoryCardPort&) {}, std::nullopt, "insufficient-space"},
        {"pulled during the write", 100, [](MemoryCardPort& c) { c.updatesBeforePull = 1; },
         std::nullopt, "card-removed"},
        {"a PIN card with its PIN", 100, [](MemoryCardPort& c) { c.state = CardAccess::NeedsPin; },
         "1234", "ok"},
        {"a PIN card with another PIN", 100,
         [](MemoryCardPort& c) { c.state = CardAccess::NeedsPin; }, "9999", "pin-refused"},
        {"a PIN card without a PIN", 100, [](MemoryCardPort& c) { c.state = CardAccess::NeedsPin; },
         std::nullopt, "pin-refused"},
        {"a blocked card", 100, [](MemoryCardPort& c) { c.state = CardAccess::Blocked; },
         std::nullopt, "card-blocked"},
        {"no SIM answers", 100, [](MemoryCardPort& c) { c.state = CardAccess::NotFound; },
         std::nullopt, "sim-not-found"},
        {"a record that cannot be read", 100, [](MemoryCardPort& c) { c.unreadableRecord = 5; },
         std::nullopt, "write-error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reader = FakeReader();
        observer = Observer();
        settings.pin = c.pin;
        c.setup(reader.add(c.records));
        reader.add(); // the run goes on to the next card
        const BatchSummary summary = Run();
        EXPECT_EQ(outcomes(), (std::vector<std::string>{c.outcome, "ok"}));
        EXPECT_EQ(summary.cards, 2);
        EXPECT_EQ(summary.allOk(), c.outcome == "ok");
        EXPECT_EQ(reader.card(1).items()[0], (SimItem{u"TL1", u"0612345678"}));
    }
}

TEST_F(CardBatchTest, ACardThatKeepsItsOldRecordsFailsTheReadBack) {
    reader.add().put(0, {u"Mum", u"0612"});
    reader.storesWrites[0] = false;
    Run();
    ASSERT_EQ(outcomes(), (std::vector<std::string>{"verify-failed"}));
    EXPECT_TRUE(observer.jobs[0].backup); // the backup came before the write
}

// A card of 28-byte records keeps 14 bytes of a name (GSM 11.11 10.5.1: the alpha
// identifier is the record length less 14); the rest is cut, and that is no failure.
TEST_F(CardBatchTest, ANameTheCardCutsAndANumberWithoutItsPlusStillReadBack) {
    reader.add();
    settings.programs = {{std::nullopt, {"#1FRONT-DOOR-OPENED=1", "TL1=+39333", "RFT=1"}}};
    Run();
    EXPECT_EQ(outcomes(), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(reader.card(0).item(0).name, u"#1FRONT-DOOR-O");
    EXPECT_EQ(observer.jobs[0].changedRecords, 3);
}

TEST_F(CardBatchTest, EachSiteGetsACardAndAFailedCardsSiteGoesToTheNext) {
    settings.perSite = true;
    settings.programs = {{1, {"TL1=1111"}}, {2, {"TL1=2222"}}, {3, {"TL1=3333"}}};
    reader.add();
    reader.add(7).put(3, {u"Mum", u"0612"}); // too small: site 2 waits for the next card
    reader.add();
    reader.add();
    reader.add(); // left over
    const BatchSummary summary = Run();

    EXPECT_EQ(outcomes(), (std::vector<std::string>{"ok", "insufficient-space", "ok", "ok"}));
    // The card too small for a program was backed up whole all the same, and left alone.
    ASSERT_TRUE(observer.jobs[1].backup);
    const ParsedBackup smallCard = BackupStore::load(*observer.jobs[1].backup);
    ASSERT_TRUE(smallCard.backup) << smallCard.error;
    EXPECT_EQ(smallCard.backup->adn, reader.card(1).adn);
    EXPECT_TRUE(reader.card(1).updatedRecords.empty());
    std::vector<std::optional<int>> rows;
    for (const CardJob& job : observer.jobs) {
        rows.push_back(job.row);
    }
    EXPECT_EQ(rows, (std::vector<std::optional<int>>{1, 2, 2, 3}));
    EXPECT_EQ(reader.card(2).item(0).number, u"2222");
    EXPECT_EQ(reader.card(3).item(0).number, u"3333");
    EXPECT_EQ(reader.current, 3); // the fifth card was never awaited
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(reader.waits.size(), 7u) << "the last site's card is not awaited out";
}

TEST_F(CardBatchTest, TheSameCardAgainIsWrittenOnlyWhenTheUserSaysSo) {
    for (const bool rewrite : {false, true}) {
        SCOPED_TRACE(rewrite);
        reader = FakeReader();
        observer = Observer();
        observer.rewrite = rewrite;
        reader.add();
        reader.add().iccidDigits = reader.card(0).iccidDigits;
        reader.add();
        const BatchSummary summary = Run();
        EXPECT_EQ(observer.asked, (std::vector<std::string>{*reader.card(0).iccidDigits}));
        EXPECT_EQ(summary.cards, rewrite ? 3 : 2);
        EXPECT_EQ(reader.card(1).updatedRecords.empty(), !rewrite);
    }
}

TEST_F(CardBatchTest, StopFinishesTheCardInHandAndWaitsForNoOther) {
    struct Case {
        BatchPhase stopAt;
        int cards;
    };
    const Case cases[] = {
        {BatchPhase::WaitingForCard, 0},
        {BatchPhase::Writing, 1},
        {BatchPhase::Verifying, 1},
        {BatchPhase::WaitingForRemoval, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.stopAt));
        reader = FakeReader();
        observer = Observer();
        reader.add();
        reader.add();
        observer.onPhase = [&](BatchPhase phase, int) {
            if (phase == c.stopAt) {
                batch->Stop();
            }
        };
        const BatchSummary summary = Run();
        EXPECT_TRUE(summary.stopped);
        EXPECT_EQ(summary.cards, c.cards);
        EXPECT_EQ(outcomes(), std::vector<std::string>(static_cast<std::size_t>(c.cards), "ok"));
    }
}

TEST_F(CardBatchTest, CountEndsTheRunWithoutWaitingForTheLastCardToGo) {
    settings.count = 2;
    reader.add();
    reader.add();
    reader.add();
    const BatchSummary summary = Run();
    EXPECT_EQ(summary.cards, 2);
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(reader.waits, (std::vector<bool>{true, false, true}));
}

TEST_F(CardBatchTest, ABackupThatCannotBeSavedEndsTheRunWithNothingWritten) {
    std::ofstream(folder.path() / "backups") << "a file where the folder should be";
    reader.add();
    reader.add();
    const BatchSummary summary = Run();
    EXPECT_EQ(outcomes(), (std::vector<std::string>{"write-error"}));
    EXPECT_TRUE(summary.backupFailed);
    EXPECT_TRUE(reader.card(0).updatedRecords.empty());
    EXPECT_EQ(reader.current, 0);
}

// The job log as RFC 4180 reads it: a header, one line a card, CR LF, fields with a comma
// or a quote in quotes.
TEST_F(CardBatchTest, TheJobLogHasItsHeaderOnceAndALineACard) {
    const auto path = folder.path() / "logs" / "jobs.csv";
    CardJob job;
    job.time = 1738328709; // 2025-01-31T13:05:09Z
    job.reader = "Virtual PCD 00 00";
    job.iccid = "8949000000000000017";
    job.program = "north, \"a\".sim";
    job.row = 2;
    job.outcome = CardOutcome::InsufficientSpace;
    job.changedRecords = 12;
    job.backup = "/b/x.simbackup";
    for (int run = 0; run < 2; ++run) {
        JobLog log;
        ASSERT_EQ(log.open(path), "");
        ASSERT_TRUE(log.append(job));
    }
    const std::string line = "2025-01-31T13:05:09Z,Virtual PCD 00 00,8949000000000000017,"
                             "\"north, \"\"a\"\".sim\",2,insufficient-space,12,/b/x.simbackup\r\n";
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), std::string(JobLog::header) + "\r\n" + line + line);

    job.iccid.reset();
    job.row.reset();
    job.backup.reset();
    job.outcome = CardOutcome::CardRemoved;
    EXPECT_EQ(JobLine(job), "2025-01-31T13:05:09Z,Virtual PCD 00 00,,\"north, \"\"a\"\".sim\",,"
                            "card-removed,12,\r\n");

    const auto other = folder.path() / "other.csv";
    std::ofstream(other) << "name,number\n";
    JobLog refused;
    EXPECT_NE(refused.open(other).find("not a job log"), std::string::npos);
}

} // namespace
} // namespace tarvik::testing
