// The card commands on a UICC that refuses class A0, with its phonebook in each place a
// USIM may keep it (ETSI TS 102 221, 3GPP TS 31.102 §4.4.2): under DF Telecom, the global
// phonebook DF Telecom/5F3A and the USIM's local one ADF.USIM/5F3A. The records written are
// byte for byte those a GSM SIM gets. PIN1 is key reference 01: a wrong presentation costs
// one attempt (ETSI TS 102 221 §11.1.9).
#include "editor/cli/tests/CliRun.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "tools/simcard/fixture/VirtualCard.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TemporaryFolder;

const std::vector<std::string> layouts = {"telecom", "global", "local"};

// A GSM SIM when layout is empty, else a UICC-only card with its phonebook there.
simcard::CardOptions Card(const std::string& layout, bool pinEnabled = false) {
    simcard::CardOptions options;
    options.pin1Enabled = pinEnabled;
    options.adnRecords = 100;
    if (!layout.empty()) {
        options.uicc = true;
        options.phonebook = layout;
    }
    return options;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The record lines of a backup: what the card held, without its time and checksum.
std::vector<std::string> RecordLines(const fs::path& backup) {
    std::ifstream in(backup);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("adn") || line.starts_with("ext1")) {
            lines.push_back(line);
        }
    }
    return lines;
}

class UiccCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    void StartCard(const simcard::CardOptions& options) {
        card.reset();
        card = std::make_unique<simcard::VirtualCard>(options);
        fs::remove_all(BackupFolder());
    }

    CliRun Run(std::vector<std::string> args) {
        args.insert(args.end(), {"--reader", card->readerName()});
        return RunWith(std::move(args));
    }

    fs::path BackupFolder() const { return folder.path() / "tarvik" / "backups"; }

    std::vector<fs::path> Backups() const {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& file : fs::directory_iterator(BackupFolder(), error)) {
            files.push_back(file.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    std::string WriteProgram(const std::string& name, const std::vector<std::string>& lines) {
        const std::string path = folder.file(name);
        WriteScrambled(path, BuildPlainDocument(2, std::vector<std::string>{}, lines));
        return path;
    }

    // Writes the program twice; the second write's backup holds what the first left.
    std::vector<std::string> RecordsAfterWriting(const std::string& program) {
        EXPECT_EQ(Run({"write-sim", program}).status, 0);
        const CliRun again = Run({"write-sim", program});
        EXPECT_EQ(again.status, 0) << again.err;
        const auto backups = Backups();
        return backups.empty() ? std::vector<std::string>{} : RecordLines(backups.back());
    }

    TemporaryFolder folder;
    std::unique_ptr<simcard::VirtualCard> card;
};

// Long numbers reach EF EXT1; names and options fill the records as on any card.
const std::vector<std::string> programLines = {"TL1=0612345678", "TK1=" + std::string(40, '1'),
                                               "#1FRONT-DOOR=1", "RED=3", "RFT=24"};

TEST_F(UiccCommandsTest, EachLayoutHoldsTheRecordsAGsmSimHolds) {
    const std::string program = WriteProgram("p.sim", programLines);
    StartCard(Card(""));
    const auto gsm = RecordsAfterWriting(program);
    ASSERT_FALSE(gsm.empty());
    for (const std::string& layout : layouts) {
        StartCard(Card(layout));
        EXPECT_EQ(RecordsAfterWriting(program), gsm) << layout;
    }
}

TEST_F(UiccCommandsTest, ReadWriteDiffAndRestoreOnEachLayout) {
    const std::string first = WriteProgram("first.sim", programLines);
    const std::string second = WriteProgram("second.sim", {"TL1=0123", "RED=2", "OP1=5"});
    for (const std::string& layout : layouts) {
        StartCard(Card(layout));
        const CliRun write = Run({"write-sim", first});
        ASSERT_EQ(write.status, 0) << layout << ": " << write.err;
        const std::string read = folder.file("read-" + layout + ".sim");
        const CliRun readRun = Run({"read-sim", read});
        ASSERT_EQ(readRun.status, 0) << layout << ": " << readRun.err;
        const auto readBack = ParsePlainDocument(UnscrambleText(ReadAll(read)));
        ASSERT_TRUE(readBack) << layout;
        EXPECT_EQ(readBack->program, programLines) << layout;
        EXPECT_EQ(Run({"diff", first}).status, 0) << layout;
        EXPECT_EQ(Run({"diff", second}).status, 1) << layout;

        // Keep mode leaves the first program's entries the second does not name.
        ASSERT_EQ(Run({"write-sim", second, "--keep-foreign"}).status, 0) << layout;
        const CliRun restore = Run({"restore", Backups().back().string()});
        EXPECT_EQ(restore.status, 0) << layout << ": " << restore.err;
        EXPECT_EQ(Run({"diff", first}).status, 0) << layout << " after the restore";
        // Delete mode: the card holds the second program and nothing else.
        ASSERT_EQ(Run({"write-sim", second}).status, 0) << layout;
        EXPECT_EQ(Run({"diff", second}).status, 0) << layout;
    }
}

TEST_F(UiccCommandsTest, CardSaysWhatTheCardIsAndWhereItsPhonebookIs) {
    const struct {
        std::string layout;
        std::string kind;
        std::string phonebook;
    } cases[] = {
        {"", "Card: GSM SIM\n", "Phonebook: DF Telecom 7F10/6F3A\n"},
        {"telecom", "Card: UICC only\n", "Phonebook: DF Telecom 7F10/6F3A\n"},
        {"global", "Card: UICC only\n", "Phonebook: global phonebook 7F10/5F3A/"},
        {"local", "Card: UICC only\n", "Phonebook: USIM local phonebook ADF.USIM/5F3A/"},
    };
    for (const auto& c : cases) {
        StartCard(Card(c.layout));
        const CliRun run = Run({"card"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, c.kind)) << run.out;
        EXPECT_TRUE(Contains(run.out, c.phonebook)) << run.out;
        EXPECT_TRUE(Contains(run.out, "Geometry: 100 records x 28 bytes")) << run.out;
        EXPECT_TRUE(Contains(run.out, "PIN: disabled")) << run.out;
        EXPECT_FALSE(Contains(run.out, "Note:")) << run.out;
    }
    // A USIM phonebook besides the global one written: a newer device may read that one.
    simcard::CardOptions both = Card("global");
    both.localPhonebook = true;
    StartCard(both);
    const CliRun run = Run({"card", "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "\"localPhonebookToo\": true")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\"kind\": \"UICC only\"")) << run.out;
}

TEST_F(UiccCommandsTest, PinOfAUiccIsAskedForCountsDownAndDisablesWithTheRightOne) {
    StartCard(Card("telecom", true)); // PIN1 enabled, code 1234
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    const std::string target = folder.file("read.sim");

    const CliRun none = Run({"read-sim", target});
    EXPECT_EQ(none.status, 4) << none.err;
    EXPECT_TRUE(Contains(none.err, "PIN")) << none.err;
    EXPECT_TRUE(Contains(Run({"card"}).out, "PIN: enabled, 3 attempts left")) << "untouched";

    const CliRun wrong = Run({"write-sim", program, "--pin", "0000"});
    EXPECT_EQ(wrong.status, 4);
    EXPECT_EQ(wrong.err, "tarvik-cli: Wrong PIN! - PIN count is now 2\n");
    EXPECT_TRUE(Contains(Run({"card"}).out, "PIN: enabled, 2 attempts left"));

    const CliRun right = Run({"write-sim", program, "--pin", "1234"});
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_EQ(Run({"read-sim", target}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_TRUE(Contains(Run({"card"}).out, "PIN: disabled"));
}

// ETSI TS 102 221 §10.2.1.3: 63 Cx after UPDATE is a write that took x internal retries; the
// program is on the card all the same.
TEST_F(UiccCommandsTest, UpdatesAnsweredWithRetriesAreWritten) {
    simcard::CardOptions options = Card("telecom");
    options.updateRetries = 2;
    StartCard(options);
    const std::string program = WriteProgram("p.sim", programLines);
    const CliRun write = Run({"write-sim", program});
    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(Run({"diff", program}).status, 0);
}

} // namespace
} // namespace tarvik::cli
