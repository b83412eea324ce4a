// The card commands against a virtual card through the real PC/SC stack: read-sim,
// write-sim, diff, restore, backups and readers.
// CHV1 follows GSM 11.11: three presentations, each wrong one counts down, none left
// blocks it (9.2.9 to 9.2.11); DISABLE CHV with the right code turns it off (9.2.10).
#include "editor/cli/tests/CliRun.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "tools/simcard/core/CardImage.h"
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

using testing::ReadAll;
using testing::TemporaryFolder;

simcard::CardOptions PinOff(int records = 250) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.adnRecords = records;
    return options;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class SimCommandsTest : public ::testing::Test {
protected:
    // Backups go to a folder of the test's own, never to the user's.
    void SetUp() override { ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    std::filesystem::path BackupFolder() const { return folder.path() / "tarvik" / "backups"; }

    std::vector<std::filesystem::path> Backups() const {
        std::vector<std::filesystem::path> files;
        std::error_code error;
        for (const auto& file : std::filesystem::directory_iterator(BackupFolder(), error)) {
            files.push_back(file.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    void StartCard(simcard::CardOptions options = PinOff()) {
        card.reset();
        card = std::make_unique<simcard::VirtualCard>(std::move(options));
    }

    // Runs tarvik-cli with --reader naming the test's card.
    CliRun Run(std::vector<std::string> args) {
        args.insert(args.end(), {"--reader", card->readerName()});
        return RunWith(std::move(args));
    }

    std::string WriteProgram(const std::string& name, const std::vector<std::string>& lines,
                             int model = 2) {
        const std::string path = folder.file(name);
        WriteScrambled(path, BuildPlainDocument(model, std::vector<std::string>{"a note"}, lines));
        return path;
    }

    static std::optional<PlainDocument> ReadProgram(const std::string& path) {
        return ParsePlainDocument(UnscrambleText(ReadAll(path)));
    }

    simcard::CardImage Image() const { return simcard::CardImage::load(card->imagePath()); }

    // Whether any command the card received starts with one of the prefixes.
    bool CardReceived(std::initializer_list<std::string> prefixes) const {
        std::ifstream log(card->commandLogPath());
        for (std::string line; std::getline(log, line);) {
            for (const auto& prefix : prefixes) {
                if (line.starts_with("> " + prefix)) {
                    return true;
                }
            }
        }
        return false;
    }

    // How many commands starting with prefix the card received.
    std::size_t CountReceived(const std::string& prefix) const {
        std::ifstream log(card->commandLogPath());
        std::size_t count = 0;
        for (std::string line; std::getline(log, line);) {
            count += line.starts_with("> " + prefix) ? 1 : 0;
        }
        return count;
    }

    TemporaryFolder folder;
    std::unique_ptr<simcard::VirtualCard> card;
};

TEST_F(SimCommandsTest, WriteThenReadGivesTheProgramBackWithNamesUpperCased) {
    simcard::CardOptions options = PinOff();
    options.adnRecordLength = 14 + 40; // room for SMS texts in names
    StartCard(options);
    // Windows-1252 text: è, €, Ü and ï.
    const std::string written = WriteProgram(
        "written.sim", {"TL1=0123", "tl2=456", "RFT=30", "#1Caff\xE8 pronto=1", "$1Ciao \x80uro=2",
                        "Nome \xDCn\xEF"
                        "code=789"});

    const CliRun write = Run({"write-sim", written});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.out, "");
    EXPECT_TRUE(Contains(write.err, "SIM 1 / 250\n")) << write.err;
    EXPECT_TRUE(Contains(write.err, "SIM 250 / 250\n")) << write.err;

    const std::string read = folder.file("read.sim");
    const CliRun readRun = Run({"read-sim", read, "--model", "1"});
    ASSERT_EQ(readRun.status, 0) << readRun.err;
    const auto document = ReadProgram(read);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->modelIndex, 1);
    EXPECT_TRUE(document->notes.empty());
    // Names upper-cased (a..z only); "RFT" comes back from record 98, after the others.
    EXPECT_EQ(
        document->program,
        (std::vector<std::string>{"TL1=0123", "TL2=456", "#1CAFF\xE8 PRONTO=1", "$1CIAO \x80URO=2",
                                  "NOME \xDCN\xEF"
                                  "CODE=789",
                                  "RFT=30"}));
}

TEST_F(SimCommandsTest, WrongPinsCountDownUntilTheCardIsBlocked) {
    StartCard(simcard::CardOptions{}); // CHV1 enabled, code 1234
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    for (int left : {2, 1, 0}) {
        const CliRun run = Run({"write-sim", program, "--pin", "0000"});
        EXPECT_EQ(run.status, 4);
        EXPECT_EQ(run.err,
                  "tarvik-cli: Wrong PIN! - PIN count is now " + std::to_string(left) + "\n");
    }
    const CliRun blocked = Run({"write-sim", program, "--pin", "1234"});
    EXPECT_EQ(blocked.status, 12);
    EXPECT_EQ(blocked.err, "tarvik-cli: SIM is blocked, PIN count is zero\n");
    EXPECT_FALSE(CardReceived({"A0 DC"})) << "the phonebook was written";
}

TEST_F(SimCommandsTest, PinNeededWithoutPinTouchesNothing) {
    StartCard(simcard::CardOptions{});
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    const std::string target = folder.file("read.sim");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"write-sim", program}, {"read-sim", target}}) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, 4) << args[0];
        EXPECT_TRUE(Contains(run.err, "PIN")) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(target));
    // No code presented (VERIFY 20, DISABLE 26), nothing read or written beyond the DF.
    EXPECT_FALSE(CardReceived({"A0 20", "A0 26", "A0 DC", "A0 B2"}));
    EXPECT_EQ(Image().chv(1).attemptsLeft, 3);
}

TEST_F(SimCommandsTest, RightPinDisablesItAndTheTransferRuns) {
    StartCard(simcard::CardOptions{});
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    const CliRun run = Run({"write-sim", program, "--pin", "1234"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(Image().chv1Enabled());
    // The next command needs no PIN.
    const std::string read = folder.file("read.sim");
    EXPECT_EQ(Run({"read-sim", read}).status, 0);
    EXPECT_EQ(ReadProgram(read)->program, std::vector<std::string>{"TL1=1"});
}

TEST_F(SimCommandsTest, FailedTransfersGiveTheirStatusAndWriteNoFile) {
    struct Case {
        int records;
        std::string command;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {50, "write-sim", 5, "Write Error"},
        {7, "write-sim", 5, "Insufficient SIM space"},
        {7, "read-sim", 6, "Read Error"},
    };
    for (const auto& c : cases) {
        StartCard(PinOff(c.records));
        const std::string program = WriteProgram("p.sim", {"TL1=1"});
        const std::string target = folder.file("out.sim");
        const CliRun run = Run({c.command, c.command == "read-sim" ? target : program});
        EXPECT_EQ(run.status, c.status) << c.command << c.records;
        EXPECT_TRUE(Contains(run.err, c.message + ":")) << run.err;
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

// "SIM not found" says what the card service knows about the reader.
TEST_F(SimCommandsTest, NoCardIsSimNotFoundAndSaysWhy) {
    StartCard();
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    const std::string before = ReadAll(program);
    const std::string reader = card->readerName();
    card->remove();
    struct Case {
        std::string reader;
        std::string why;
    };
    const std::vector<Case> cases = {
        {"No Such Reader 00 00", "no reader 'No Such Reader 00 00' (see 'tarvik-cli readers')"},
        {reader, "reader '" + reader + "' holds no card"},
    };
    for (const auto& c : cases) {
        for (const std::string command : {"write-sim", "read-sim"}) {
            const CliRun run = RunWith({command, program, "--reader", c.reader});
            EXPECT_EQ(run.status, 11);
            EXPECT_EQ(run.err, "tarvik-cli: SIM not found: " + c.why + "\n");
        }
    }
    EXPECT_EQ(ReadAll(program), before);
}

TEST_F(SimCommandsTest, ReadersListsTheCardsReader) {
    StartCard();
    const CliRun with = RunWith({"readers"});
    EXPECT_EQ(with.status, 0);
    EXPECT_TRUE(Contains(with.out, card->readerName() + ": card\n")) << with.out;
    card->remove();
    const CliRun without = RunWith({"readers"});
    EXPECT_TRUE(Contains(without.out, card->readerName() + ": no card\n")) << without.out;
}

TEST_F(SimCommandsTest, WriteSavesABackupThatDiffAndRestoreWorkWith) {
    StartCard(PinOff(100));
    const std::string first = WriteProgram("first.sim", {"TL1=0123", "Home=0555", "RED=1"});
    ASSERT_EQ(Run({"write-sim", first}).status, 0);
    const auto before = Image();

    // diff: what a write of the second program would do; 1 as it would change the card.
    const std::string second = WriteProgram("second.sim", {"TL1=0123", "RED=2", "OP1=5"});
    const std::size_t updates = CountReceived("A0 DC");
    const CliRun diff = Run({"diff", second});
    EXPECT_EQ(diff.status, 1) << diff.err;
    EXPECT_EQ(diff.out, "deleted: HOME=0555 (record 2)\n"
                        "changed: RED=1 -> 2 (record 2)\n"
                        "added: OP1=5 (record 3)\n");
    EXPECT_TRUE(Contains(diff.err, "2 entries change, 1 contact that is not part of the program "
                                   "will be deleted\n"))
        << diff.err;
    EXPECT_EQ(CountReceived("A0 DC"), updates);

    const CliRun write = Run({"write-sim", second});
    ASSERT_EQ(write.status, 0) << write.err;
    ASSERT_EQ(Backups().size(), 2u);
    EXPECT_TRUE(Contains(write.err, "SIM backup: " + Backups()[1].string() + "\n")) << write.err;
    const CliRun same = Run({"diff", second});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    // backups: newest first, with the card's ICCID and its used records.
    const CliRun listing = RunWith({"backups"});
    EXPECT_EQ(listing.status, 0);
    const std::string newest = listing.out.substr(0, listing.out.find('\n'));
    EXPECT_TRUE(Contains(newest, "  8949000000000000017  3 records  " + Backups()[1].string()))
        << listing.out;

    // restore: the backup the second write made brings the first program back, byte for
    // byte, after a backup of its own.
    const CliRun restore = Run({"restore", Backups()[1].string()});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(Image(), before);
    EXPECT_EQ(Backups().size(), 3u);
}

TEST_F(SimCommandsTest, RestoreRefusesWhatItCannotTrustAndLeavesTheCard) {
    simcard::CardOptions options = PinOff(100);
    options.iccid = "8939000000000000001";
    StartCard(options);
    ASSERT_EQ(Run({"write-sim", WriteProgram("p.sim", {"TL1=1"})}).status, 0);
    ASSERT_EQ(Backups().size(), 1u);
    const std::string good = ReadAll(Backups()[0]);
    const auto variant = [&](const std::string& name, std::string text) {
        const std::string path = folder.file(name);
        testing::WriteAll(path, text);
        return path;
    };
    std::string otherCard = good;
    otherCard.replace(otherCard.find("8939000000000000001"), 19, "8939000000000000002");
    std::string edited = good;
    edited.replace(edited.find("adn-record 1 FF"), 15, "adn-record 1 00");
    struct Case {
        std::string path;
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {variant("cut.simbackup", good.substr(0, good.find("adn-record 50"))),
         {},
         9,
         "line 55: the file ends before \"adn-record 50 HEX\""},
        {variant("edited.simbackup", edited), {}, 9, "line 116: the checksum does not match"},
        // The checksum of the ICCID's line no longer holds: the file was changed.
        {variant("other.simbackup", otherCard), {"--any-card"}, 9, "checksum"},
        {folder.file("missing.simbackup"), {}, 2, "No such file or directory"},
    };
    const std::size_t commands = CountReceived("");
    for (const Case& c : cases) {
        std::vector<std::string> args = {"restore", c.path};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Run(args);
        EXPECT_EQ(run.status, c.status) << c.path << run.err;
        EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
    }
    EXPECT_EQ(Backups().size(), 1u);
    EXPECT_EQ(CountReceived(""), commands) << "the card was used";
}

TEST_F(SimCommandsTest, BackupsOfAnotherCardNeedAnyCard) {
    simcard::CardOptions options = PinOff(100);
    options.iccid = "8939000000000000001";
    StartCard(options);
    ASSERT_EQ(Run({"write-sim", WriteProgram("p.sim", {"TL1=1"})}).status, 0);
    const std::string backup = Backups()[0].string();
    options.iccid = "8939000000000000002";
    StartCard(options);
    const auto untouched = Image();

    const CliRun refused = Run({"restore", backup});
    EXPECT_EQ(refused.status, 9);
    EXPECT_TRUE(Contains(refused.err, "ICCID 8939000000000000001")) << refused.err;
    EXPECT_TRUE(Contains(refused.err, "--any-card")) << refused.err;
    EXPECT_EQ(Image(), untouched);
    EXPECT_EQ(Run({"restore", backup, "--any-card", "--no-backup"}).status, 0);
}

TEST_F(SimCommandsTest, WriteWithoutItsBackupWritesNothing) {
    StartCard(PinOff(100));
    const std::string program = WriteProgram("p.sim", {"TL1=1"});
    // The backup folder cannot be made: a file stands where "tarvik" should be.
    testing::WriteAll(folder.file("tarvik"), "in the way");
    const CliRun refused = Run({"write-sim", program});
    EXPECT_EQ(refused.status, 8);
    EXPECT_TRUE(Contains(refused.err, "tarvik-cli: the SIM backup cannot be saved: "))
        << refused.err;
    EXPECT_FALSE(CardReceived({"A0 DC"}));

    const CliRun written = Run({"write-sim", program, "--no-backup"});
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_TRUE(CardReceived({"A0 DC"}));
}

TEST_F(SimCommandsTest, ReadSaysHowManyRecordsTheProgramCannotHold) {
    StartCard(PinOff(20));
    card->remove();
    auto image = Image();
    // A contact whose name is in Greek letters (UCS2 form, GSM 11.11 Annex B).
    image.find({simcard::DfTelecom, simcard::EfAdn})->records[3] = [] {
        simcard::Bytes record = {0x80, 0x03, 0x99, 0x03, 0xC9};
        record.resize(14, 0xFF);
        const simcard::Bytes number = {0x03, 0x81, 0x10, 0x32};
        record.insert(record.end(), number.begin(), number.end());
        record.resize(28, 0xFF);
        return record;
    }();
    image.save(card->imagePath());
    card->insert();
    const std::string target = folder.file("read.sim");
    const CliRun read = Run({"read-sim", target});
    EXPECT_EQ(read.status, 0) << read.err;
    EXPECT_TRUE(
        Contains(read.err, "1 SIM records that the program text cannot hold were left out\n"))
        << read.err;
    EXPECT_TRUE(ReadProgram(target)->program.empty());
}

TEST(SimCommandsUsage, BadArgumentsTouchNoCard) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"read-sim", "a.sim", "--keep-foreign"},
         "tarvik-cli: read-sim: unknown option '--keep-foreign'\n"},
        {{"write-sim", "a.sim", "--pin"}, "tarvik-cli: write-sim: --pin needs a value (PIN)\n"},
        {{"write-sim", "a.sim", "--pin", "\xC4\x81"},
         "tarvik-cli: --pin: the character '\xC4\x81' (U+0101) cannot be stored: only "
         "Windows-1252 text is allowed\n"},
        {{"diff", "a.sim", "--no-backup"}, "tarvik-cli: diff: unknown option '--no-backup'\n"},
        {{"restore", "a.simbackup", "--keep-foreign"},
         "tarvik-cli: restore: unknown option '--keep-foreign'\n"},
        {{"backups", "x"}, "tarvik-cli: backups: "},
        // The file is read before the card is looked for.
        {{"write-sim", "/nonexistent/a.sim"},
         "tarvik-cli: /nonexistent/a.sim: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunWith(c.args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
    }
}

} // namespace
} // namespace tarvik::cli
