// Writing the program to a virtual card through the real PC/SC stack, with the backup taken
// before it and its restore. Record contents are checked byte by byte as GSM 11.11 lays out
// EF ADN (10.5.1) and EF EXT1 (10.5.10). The rules of where each line goes are the record
// plan's, tested on their own.
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimRestore.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/tests/SimCardFixture.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

using namespace std::chrono_literals;

// count records, all empty but those given.
std::vector<std::string> Expected(int count, const std::map<int, std::string>& filled) {
    std::vector<std::string> texts(static_cast<std::size_t>(count));
    for (const auto& [index, text] : filled) {
        texts.at(static_cast<std::size_t>(index)) = text;
    }
    return texts;
}

// Lines N1=1 .. Nlast=last.
std::vector<std::string> NumberedLines(int first, int last) {
    std::vector<std::string> lines;
    for (int n = first; n <= last; ++n) {
        lines.push_back("N" + std::to_string(n) + "=" + std::to_string(n));
    }
    return lines;
}

std::size_t FilesIn(const std::filesystem::path& folder) {
    std::error_code error;
    return static_cast<std::size_t>(std::distance(
        std::filesystem::directory_iterator(folder, error), std::filesystem::directory_iterator()));
}

class SimWriteTest : public SimCardTest {
protected:
    WriteResult Write(const std::vector<std::string>& lines, bool deleteAll = true) {
        window = RecordingWindow();
        return SimWriteAll(port, window, lines, deleteAll, &backups);
    }

    RecordingWindow window;
};

TEST_F(SimWriteTest, DeleteModeWritesLinesInOrderRftAtIndex97AndBlanksTheRest) {
    StartCard(PinOff(100));
    Plant({{1, AdnRecord("4F4C44", "0281F9")},
           {50, AdnRecord("486F6D65", "03811032")},
           {99, AdnRecord("58", "0281F1")}});
    Connect();

    const WriteResult result = Write({"A=1", "RFT=5", "B=2"});

    EXPECT_TRUE(result.ok());
    EXPECT_EQ(RecordTexts(), Expected(100, {{0, "A=1"}, {2, "B=2"}, {97, "RFT=5"}}));
    // "A" in the alpha field; number "1": length 02 (TON/NPI and one digit byte), TON/NPI
    // 81, digit 1 with filler F; capability and extension identifiers FF.
    EXPECT_EQ(Records()[0], AdnRecord("41", "0281F1"));
    EXPECT_EQ(Records()[97], AdnRecord("524654", "0281F5"));

    // Progress in the caption for each record read, then for each record written (the
    // empty records that stay empty are not), then the caption as it was; no error.
    EXPECT_EQ(window.captions.front(), "SIM 1 / 100");
    EXPECT_EQ(window.captions[99], "SIM 100 / 100");
    const std::vector<std::string> writing(window.captions.begin() + 100, window.captions.end());
    EXPECT_EQ(writing,
              (std::vector<std::string>{"SIM 1 / 100", "SIM 2 / 100", "SIM 3 / 100", "SIM 51 / 100",
                                        "SIM 98 / 100", "SIM 100 / 100", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.progressSteps.back(), std::make_pair(0, 0));
    EXPECT_EQ(window.beeps, 0);
    EXPECT_TRUE(window.pauses.empty());

    // The backup holds the phonebook as it was.
    ASSERT_TRUE(result.backupPath);
    const ParsedBackup saved = BackupStore::load(*result.backupPath);
    ASSERT_TRUE(saved.backup) << saved.error;
    EXPECT_EQ(saved.backup->adn.size(), 100u);
    EXPECT_EQ(saved.backup->adn[50], AdnRecord("486F6D65", "03811032"));
    EXPECT_EQ(saved.backup->iccid, "8949000000000000017");
}

TEST_F(SimWriteTest, KeepModeLeavesForeignRecordsWhereTheyAre) {
    StartCard(PinOff(100));
    Plant({
        {0, AdnRecord("486F6D65", "03811032")}, // Home 0123: foreign, stays
        {1, AdnRecord("544C31", "03815555")},   // TL1: a keyword, overwritten
        {2, AdnRecord("426F62", "028177")},     // Bob: a line's name, overwritten
        {5, AdnRecord("5A6F65", "03819999")},   // Zoe 9999: foreign, stays
        {6, AdnRecord("80039903C9", "028133")}, // a name in Greek letters: foreign
        {97, AdnRecord("43617361", "0281F1")},  // index 97 always goes to the program
    });
    Connect();

    EXPECT_TRUE(Write({"TL1=111", "bob=2", "IP1=3", "IP2=4"}, false).ok());
    EXPECT_EQ(RecordTexts(), Expected(100, {{0, "Home=0123"},
                                            {1, "TL1=111"},
                                            {2, "BOB=2"},
                                            {3, "IP1=3"},
                                            {4, "IP2=4"},
                                            {5, "Zoe=9999"},
                                            {6, "\u0399\u03C9=33"}}));
    EXPECT_EQ(Records()[6], AdnRecord("80039903C9", "028133"));
}

TEST_F(SimWriteTest, TheSameProgramWrittenAgainSendsNoUpdate) {
    StartCard(PinOff(100));
    Connect();
    // Two numbers long enough for extension records.
    std::vector<std::string> lines = NumberedLines(1, 30);
    lines.push_back("TK1=" + std::string(40, '1'));
    lines.push_back("TK2=" + std::string(64, '2'));
    ASSERT_TRUE(Write(lines).ok());
    const auto written = Image();

    std::size_t before = Commands().size();
    ASSERT_TRUE(Write(lines).ok());
    // Each record read once, no record written; the image is as it was.
    EXPECT_EQ(CountSent("DC", before), 0u);
    EXPECT_EQ(CountSent("B2", before), 100u + 10u); // ADN records, and EXT1 when selecting
    EXPECT_EQ(Image(), written);

    // One changed entry: one record written.
    lines[4] = "N5=55";
    before = Commands().size();
    ASSERT_TRUE(Write(lines).ok());
    EXPECT_EQ(CountSent("DC", before), 1u);
    EXPECT_EQ(RecordTexts()[4], "N5=55");
}

TEST_F(SimWriteTest, AWriteAndTheRestoreOfItsBackupLeaveEveryByteAsBefore) {
    StartCard(PinOff(120));
    // A contact with a number continued in EF EXT1 record 3, a foreign contact, a name in
    // Greek letters, and a stray extension record that belongs to no contact.
    Plant({
        {0, AdnRecord("4D6F6D", "0B8121436587092143658709FF03")},
        {4, AdnRecord("486F6D65", "03811032")},
        {9, AdnRecord("80039903C9", "028133")},
    });
    PlantExtensions(
        {{2, Hex("020221F3FFFFFFFFFFFFFFFFFF")}, {7, Hex("0201F1FFFFFFFFFFFFFFFFFFFF")}});
    Connect();
    ASSERT_EQ(RecordTexts()[0], "Mom=12345678901234567890123");
    const auto before = Image();

    std::vector<std::string> lines = NumberedLines(1, 100);
    lines.push_back("TK1=" + std::string(64, '9'));
    const WriteResult result = Write(lines);
    ASSERT_TRUE(result.ok());
    ASSERT_NE(Image(), before);

    const ParsedBackup saved = BackupStore::load(*result.backupPath);
    ASSERT_TRUE(saved.backup) << saved.error;
    window = RecordingWindow();
    const RestoreResult restored = SimRestore(port, window, *saved.backup, {});
    EXPECT_TRUE(restored.ok()) << restored.reason;
    EXPECT_EQ(Records(), before.records({simcard::DfTelecom, simcard::EfAdn}));
    EXPECT_EQ(Records(simcard::EfExt1), before.records({simcard::DfTelecom, simcard::EfExt1}));
    EXPECT_EQ(Image(), before);
}

TEST_F(SimWriteTest, CardPulledDuringTheBackupReadsWritesNothingAndSavesNoFile) {
    simcard::CardOptions options = PinOff(100);
    options.dropAfterCommands = 60; // some records into the reading
    StartCard(options);
    Connect();
    const auto before = Image();

    const WriteResult result = Write(NumberedLines(1, 40));

    EXPECT_TRUE(result.writeError);
    EXPECT_FALSE(result.backupPath);
    EXPECT_EQ(FilesIn(backupFolder.path()), 0u);
    EXPECT_EQ(CountSent("DC"), 0u);
    EXPECT_EQ(Image(), before);
    EXPECT_NE(std::find(window.captions.begin(), window.captions.end(), "Write Error"),
              window.captions.end());
    EXPECT_FALSE(SimIsConnected());
}

TEST_F(SimWriteTest, CardPulledDuringTheWriteKeepsTheBackupThatRestoresTheCard) {
    simcard::CardOptions options = PinOff(100);
    // Selecting (15 commands) and reading 100 records, then a few updates.
    options.dropAfterCommands = 15 + 100 + 20;
    StartCard(options);
    Plant({{10, AdnRecord("486F6D65", "03811032")}, {70, AdnRecord("5A6F65", "03819999")}});
    Connect();
    const auto before = Image();

    const WriteResult result = Write(NumberedLines(1, 80));
    EXPECT_TRUE(result.writeError);
    EXPECT_NE(std::find(window.captions.begin(), window.captions.end(), "Write Error"),
              window.captions.end());
    EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
    // The dead connection is gone: the next command does not fail on it.
    EXPECT_FALSE(SimIsConnected());
    ASSERT_TRUE(result.backupPath);

    // Put back half written, and without the fault this time.
    card->clearFaults();
    card->insert();
    Connect();
    ASSERT_NE(Image(), before);
    const ParsedBackup saved = BackupStore::load(*result.backupPath);
    ASSERT_TRUE(saved.backup) << saved.error;
    window = RecordingWindow();
    EXPECT_TRUE(SimRestore(port, window, *saved.backup, {}).ok());
    EXPECT_EQ(Image(), before);
}

TEST_F(SimWriteTest, RestoreRefusesABackupOfAnotherCardOrShapeWithoutTouchingIt) {
    simcard::CardOptions options = PinOff(100);
    options.iccid = "8939000000000000001";
    StartCard(options);
    Connect();
    const ParsedBackup own = [&] {
        const WriteResult result = Write({"TL1=1"});
        return BackupStore::load(*result.backupPath);
    }();
    ASSERT_TRUE(own.backup);
    EXPECT_EQ(own.backup->iccid, "8939000000000000001");

    SimBackup otherCard = *own.backup;
    otherCard.iccid = "8939000000000000002";
    SimBackup otherShape = *own.backup;
    otherShape.adn.pop_back();
    struct Case {
        const char* what;
        const SimBackup& backup;
        bool anyCard;
        RestoreOutcome outcome;
    };
    const std::vector<Case> cases = {
        {"another card", otherCard, false, RestoreOutcome::OtherCard},
        {"another shape", otherShape, true, RestoreOutcome::Refused},
    };
    for (const Case& c : cases) {
        const std::size_t sent = Commands().size();
        window = RecordingWindow();
        const RestoreResult result = SimRestore(port, window, c.backup, {c.anyCard, &backups});
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_FALSE(result.reason.empty()) << c.what;
        EXPECT_EQ(CountSent("DC", sent), 0u) << c.what;
    }
    // With anyCard, another card's backup goes on.
    window = RecordingWindow();
    EXPECT_TRUE(SimRestore(port, window, otherCard, {true, &backups}).ok());
    EXPECT_EQ(RecordTexts()[0], "");
}

TEST_F(SimWriteTest, CardWithFewerThan98RecordsEndsInWriteError) {
    StartCard(PinOff(50));
    Connect();

    const WriteResult result = Write({"TL1=1", "RFT=3"});

    // Index 97 is record 98, which this card does not have: the write fails there, after
    // every record the card has was written.
    EXPECT_TRUE(result.writeError);
    EXPECT_FALSE(result.linesLeftOver);
    EXPECT_EQ(RecordTexts(), Expected(50, {{0, "TL1=1"}}));
    const std::vector<std::string> tail(window.captions.end() - 2, window.captions.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Write Error", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.beeps, 1);
    EXPECT_EQ(window.pauses, std::vector<std::chrono::milliseconds>{2000ms});
}

TEST_F(SimWriteTest, PhonebookUnder8RecordsIsNotTouchedButBackedUp) {
    StartCard(PinOff(7));
    Plant({{2, AdnRecord("486F6D65", "03811032")}});
    Connect();
    const auto before = Image();

    const WriteResult result = Write({"TL1=1"});

    EXPECT_TRUE(result.linesLeftOver);
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(CountSent("DC"), 0u);
    ASSERT_TRUE(result.backupPath);
    const ParsedBackup saved = BackupStore::load(*result.backupPath);
    ASSERT_TRUE(saved.backup) << saved.error;
    EXPECT_EQ(saved.backup->adn, Records());
    const std::vector<std::string> tail(window.captions.end() - 2, window.captions.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Insufficient SIM space", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.beeps, 1);
}

// A card of 5 records takes no program, but a restore onto it must keep what it held: the
// backup the restore saves first holds all 5 records (GSM 11.11 10.5.1 for their bytes,
// 10.5.10 for the extension record) and puts them back byte for byte.
TEST_F(SimWriteTest, ARestoreOntoA5RecordCardCanBeUndoneByItsOwnBackup) {
    simcard::CardOptions options = PinOff(5);
    options.iccid = "8939000000000000005";
    StartCard(options);
    Plant({
        {0, AdnRecord("4D6F6D", "0B8121436587092143658709FF01")},
        {3, AdnRecord("486F6D65", "03811032")},
    });
    PlantExtensions({{0, Hex("020221F3FFFFFFFFFFFFFFFFFF")}});
    Connect();
    ASSERT_EQ(RecordTexts()[0], "Mom=12345678901234567890123");
    const auto before = Image();

    SimBackup other;
    other.iccid = "8939000000000000005";
    other.adnRecordLength = 28;
    other.adn.assign(5, AdnRecord("5A6F65", "03819999"));
    other.ext1.assign(10, RecordBytes(13, 0xFF));
    window = RecordingWindow();
    const RestoreResult restored = SimRestore(port, window, other, {false, &backups});
    ASSERT_TRUE(restored.ok()) << restored.reason;
    EXPECT_EQ(Records(), other.adn);
    ASSERT_TRUE(restored.backupPath);

    const ParsedBackup automatic = BackupStore::load(*restored.backupPath);
    ASSERT_TRUE(automatic.backup) << automatic.error;
    EXPECT_EQ(automatic.backup->adn, before.records({simcard::DfTelecom, simcard::EfAdn}));
    window = RecordingWindow();
    const RestoreResult undone = SimRestore(port, window, *automatic.backup, {});
    EXPECT_TRUE(undone.ok()) << undone.reason;
    EXPECT_EQ(Image(), before);
}

TEST_F(SimWriteTest, WriteWithoutConnectionShowsWriteError) {
    StartCard(PinOff(100));
    Connect();
    card->remove();

    const WriteResult result = Write({"TL1=1"});

    EXPECT_TRUE(result.writeError);
    EXPECT_EQ(window.captions, (std::vector<std::string>{"Write Error", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.beeps, 1);
}

} // namespace
} // namespace tarvik::testing
