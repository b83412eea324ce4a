// The write and restore flows over a card in memory: the order of reading, saving the
// backup and writing, and what each failure leaves behind.
#include "editor/sim/SimTransfer.h"

#include "editor/sim/SimMessages.h"
#include "editor/sim/SimRestore.h"
#include "editor/sim/testing/MemoryCardPort.h"
#include "editor/sim/tests/PrintItems.h"
#include "editor/sim/tests/RecordingWindow.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace tarvik::testing {
namespace {

bool Shown(const RecordingWindow& window, std::string_view caption) {
    return std::find(window.captions.begin(), window.captions.end(), caption) !=
           window.captions.end();
}

class SimTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        card.put(0, {u"TL1", u"111"});
        card.put(1, {u"Home", u"0123"});
        card.put(2, {u"RED", u"1"});
        card.ext1[3] = RecordBytes(13, 0x02);
        card.connect();
    }

    WriteResult Write(const std::vector<std::string>& lines, const BackupStore* store) {
        window = RecordingWindow();
        return SimWriteAll(card, window, lines, true, store);
    }

    std::size_t BackupFiles() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()));
    }

    MemoryCardPort card;
    RecordingWindow window;
    TemporaryFolder folder;
    BackupStore backups{folder.path()};
};

TEST_F(SimTransferTest, TheBackupHoldsTheCardAsItWasAndOnlyChangedRecordsAreWritten) {
    const auto adnBefore = card.adn;
    const auto ext1Before = card.ext1;

    const WriteResult result = Write({"TL1=111", "RED=2"}, &backups);

    ASSERT_TRUE(result.ok());
    ASSERT_TRUE(result.backupPath);
    const ParsedBackup saved = BackupStore::load(*result.backupPath);
    ASSERT_TRUE(saved.backup) << saved.error;
    EXPECT_EQ(saved.backup->adn, adnBefore);
    EXPECT_EQ(saved.backup->ext1, ext1Before);
    EXPECT_EQ(saved.backup->iccid, "8949000000000000017");
    // TL1 stays; RED moves up over Home, and RED's old record is blanked.
    EXPECT_EQ(card.updatedRecords, (std::vector<int>{1, 2}));
    EXPECT_EQ(result.changedRecords, 2);

    card.updatedRecords.clear();
    const WriteResult again = Write({"TL1=111", "RED=2"}, nullptr);
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(card.updatedRecords.empty());
    EXPECT_EQ(again.changedRecords, 0);
    EXPECT_EQ(BackupFiles(), 1u); // no backup asked for
}

TEST_F(SimTransferTest, FailuresBeforeTheFirstUpdateWriteNothing) {
    struct Case {
        const char* what;
        std::function<void()> fault;
        bool writeError;
        bool backupFailed;
    };
    const std::filesystem::path blocked = folder.path() / "blocked";
    testing::WriteAll(blocked.string(), "a file where the folder should be");
    const BackupStore unusable(blocked);
    const BackupStore* store = &backups;
    const std::vector<Case> cases = {
        {"a record cannot be read", [&] { card.unreadableRecord = 30; }, true, false},
        {"the card is gone", [&] { card.pulled = true; }, true, false},
        {"the backup cannot be saved", [&] { store = &unusable; }, false, true},
    };
    for (const Case& c : cases) {
        MemoryCardPort fresh;
        card = fresh;
        card.connect();
        store = &backups;
        c.fault();
        const WriteResult result = Write({"TL1=1", "RED=1"}, store);
        EXPECT_EQ(result.writeError, c.writeError) << c.what;
        EXPECT_EQ(result.backupFailed, c.backupFailed) << c.what;
        EXPECT_TRUE(card.updatedRecords.empty()) << c.what;
        EXPECT_EQ(BackupFiles(), 1u) << c.what; // the blocking file only
        EXPECT_EQ(Shown(window, kWriteError), c.writeError) << c.what;
    }
    EXPECT_NE(Write({"TL1=1"}, &unusable).backupError.find(blocked.string()), std::string::npos);
}

TEST_F(SimTransferTest, ACardPulledPartWayShowsWriteErrorAndDropsTheConnection) {
    card.updatesBeforePull = 5;
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i) {
        lines.push_back("TL" + std::to_string(i) + "=" + std::to_string(i));
    }
    const WriteResult result = Write(lines, &backups);
    EXPECT_TRUE(result.writeError);
    EXPECT_FALSE(result.linesLeftOver); // the lines would fit: no word of space
    EXPECT_TRUE(result.backupPath);
    EXPECT_EQ(card.updatedRecords.size(), 5u);
    EXPECT_TRUE(Shown(window, kWriteError));
    EXPECT_FALSE(Shown(window, kInsufficientSimSpace));
    EXPECT_EQ(card.access(), CardAccess::NotFound);
}

TEST_F(SimTransferTest, LinesLeftOverAreWrittenAsFarAsTheyGoAndSaidSo) {
    std::vector<std::string> lines;
    for (int i = 0; i < 120; ++i) {
        lines.push_back("N" + std::to_string(i) + "=1");
    }
    const WriteResult result = Write(lines, nullptr);
    EXPECT_TRUE(result.linesLeftOver);
    EXPECT_FALSE(result.writeError);
    EXPECT_TRUE(Shown(window, kInsufficientSimSpace));
    EXPECT_EQ(window.beeps, 1);
    EXPECT_EQ(card.item(99), (SimItem{u"N97", u"1"}));
}

TEST_F(SimTransferTest, RestoreWritesTheBackupBackAfterSavingTheCardAsItIs) {
    const WriteResult written = Write({"A=1", "B=2"}, &backups);
    ASSERT_TRUE(written.backupPath);
    const SimBackup backup = *BackupStore::load(*written.backupPath).backup;
    card.ext1[0] = RecordBytes(13, 0x00);

    window = RecordingWindow();
    const RestoreResult restored = SimRestore(card, window, backup, {false, &backups});
    EXPECT_TRUE(restored.ok()) << restored.reason;
    EXPECT_EQ(card.adn, backup.adn);
    EXPECT_EQ(card.ext1, backup.ext1);
    // The card as it was before the restore went to a backup of its own.
    ASSERT_TRUE(restored.backupPath);
    EXPECT_EQ(BackupStore::load(*restored.backupPath).backup->ext1[0], RecordBytes(13, 0x00));
}

TEST_F(SimTransferTest, RestoreRefusesWhatDoesNotFitWithoutWriting) {
    SimBackup backup;
    backup.iccid = card.iccidDigits;
    backup.adnRecordLength = 28;
    backup.adn = card.adn;
    backup.ext1 = card.ext1;
    SimBackup fewer = backup;
    fewer.adn.pop_back();
    SimBackup longer = backup;
    longer.adnRecordLength = 30;
    SimBackup moreExtensions = backup;
    moreExtensions.ext1.push_back(RecordBytes(13, 0xFF));
    SimBackup otherCard = backup;
    otherCard.iccid = "8949000000000000018";
    SimBackup unknownCard = backup;
    unknownCard.iccid.reset();
    struct Case {
        const char* what;
        const SimBackup& backup;
        bool anyCard;
        RestoreOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"fewer records", fewer, true, RestoreOutcome::Refused},
        {"longer records", longer, true, RestoreOutcome::Refused},
        {"more extension records", moreExtensions, true, RestoreOutcome::Refused},
        {"another card", otherCard, false, RestoreOutcome::OtherCard},
        {"a card of unknown ICCID", unknownCard, false, RestoreOutcome::OtherCard},
        {"another card, any card allowed", otherCard, true, RestoreOutcome::Restored},
    };
    for (const Case& c : cases) {
        card.put(5, {u"X", u"5"});
        card.updatedRecords.clear();
        window = RecordingWindow();
        const RestoreResult result = SimRestore(card, window, c.backup, {c.anyCard, nullptr});
        EXPECT_EQ(result.outcome, c.outcome) << c.what << ": " << result.reason;
        EXPECT_EQ(card.updatedRecords.empty(), c.outcome != RestoreOutcome::Restored) << c.what;
    }
}

// A card of 5 records holds no program, yet a write or a restore onto it saves the card as
// it was, every record, and that backup puts it back byte for byte.
TEST_F(SimTransferTest, ACardTooSmallForAProgramIsBackedUpWholeBeforeAnyTransfer) {
    struct Case {
        const char* what;
        std::function<std::optional<std::filesystem::path>(MemoryCardPort&)> transfer;
    };
    SimBackup other;
    other.iccid = card.iccidDigits;
    other.adnRecordLength = 28;
    other.adn.assign(5, MemoryCardPort(1).bytesOf({u"Other", u"999"}));
    other.ext1.assign(10, RecordBytes(13, 0xFF));
    const std::vector<Case> cases = {
        {"write",
         [&](MemoryCardPort& small) {
             window = RecordingWindow();
             const std::vector<std::string> lines = {"TL1=1"};
             const WriteResult result = SimWriteAll(small, window, lines, true, &backups);
             EXPECT_TRUE(result.linesLeftOver);
             EXPECT_TRUE(Shown(window, kInsufficientSimSpace));
             EXPECT_TRUE(small.updatedRecords.empty());
             return result.backupPath;
         }},
        {"restore",
         [&](MemoryCardPort& small) {
             window = RecordingWindow();
             const RestoreResult result = SimRestore(small, window, other, {false, &backups});
             EXPECT_TRUE(result.ok()) << result.reason;
             EXPECT_EQ(small.adn, other.adn);
             return result.backupPath;
         }},
    };
    for (const Case& c : cases) {
        MemoryCardPort small(5);
        small.put(0, {u"Mum", u"0612"});
        small.put(3, {u"Home", u"0123"});
        small.ext1[2] = RecordBytes(13, 0x02);
        small.connect();
        const auto adnBefore = small.adn;
        const auto ext1Before = small.ext1;

        const std::optional<std::filesystem::path> saved = c.transfer(small);

        ASSERT_TRUE(saved) << c.what;
        const ParsedBackup backup = BackupStore::load(*saved);
        ASSERT_TRUE(backup.backup) << c.what << ": " << backup.error;
        EXPECT_EQ(backup.backup->adn, adnBefore) << c.what;
        EXPECT_EQ(backup.backup->ext1, ext1Before) << c.what;
        window = RecordingWindow();
        EXPECT_TRUE(SimRestore(small, window, *backup.backup, {}).ok()) << c.what;
        EXPECT_EQ(small.adn, adnBefore) << c.what;
        EXPECT_EQ(small.ext1, ext1Before) << c.what;
    }
}

} // namespace
} // namespace tarvik::testing
