// write-sim --each-card run as its own process against virtual cards that the test takes
// out and puts in through the real PC/SC stack. Numbers sit in EF ADN records as GSM 11.11
// (10.5.1) stores them: BCD, two digits a byte, low nibble first.
#include "base/Hex.h"
#include "editor/cli/tests/CliRun.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"
#include "testing/WaitUntil.h"
#include "tools/simcard/core/CardImage.h"
#include "tools/simcard/fixture/ChildProcess.h"
#include "tools/simcard/fixture/VirtualCard.h"
#include "tools/simcard/fixture/VirtualReaders.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace tarvik::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::ReadAll;
using testing::TemporaryFolder;

constexpr auto timeout = 30s;

simcard::CardOptions Card(const std::string& iccid, int records = 250) {
    simcard::CardOptions options;
    options.pin1Enabled = false;
    options.adnRecords = records;
    options.iccid = iccid;
    return options;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The job log's lines after its header, each split into its fields (no field here holds a
// comma).
std::vector<std::vector<std::string>> JobLines(const fs::path& path) {
    std::vector<std::vector<std::string>> lines;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1) {
            fields.push_back(line.substr(start, comma - start));
        }
        fields.push_back(line.substr(start));
        lines.push_back(fields);
    }
    return lines;
}

// Whether some EF ADN record of the image holds these bytes (hex).
bool ImageHolds(const fs::path& image, const std::string& hex) {
    const auto card = simcard::CardImage::load(image);
    for (const auto& record : card.records({simcard::DfTelecom, simcard::EfAdn})) {
        if (Contains(tarvik::ToHex(record), hex)) {
            return true;
        }
    }
    return false;
}

class EachCardTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("XDG_DATA_HOME", folder.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("XDG_DATA_HOME"); }

    std::string Program(const std::vector<std::string>& lines) {
        const std::string path = folder.file("prog.sim");
        WriteScrambled(path, BuildPlainDocument(2, std::vector<std::string>{}, lines));
        return path;
    }

    // Starts tarvik-cli write-sim FILE --each-card on the card's reader, with the answers
    // to its questions as standard input.
    void Start(std::vector<std::string> arguments, const std::string& answers = {}) {
        int ends[2];
        ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
        ASSERT_EQ(::write(ends[1], answers.data(), answers.size()),
                  static_cast<ssize_t>(answers.size()));
        ::close(ends[1]);
        std::vector<std::string> argv = {TARVIK_CLI_PATH, "write-sim"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.insert(argv.end(),
                    {"--each-card", "--reader", card->readerName(), "--log", log.string()});
        cli = simcard::ChildProcess(argv, output, simcard::ChildProcess::Lifetime::DiesWithParent,
                                    ends[0]);
        ::close(ends[0]);
    }

    // Waits until the job log has n lines, or its output holds the text; a tarvik-cli that
    // ended is waited for no longer.
    bool WaitFor(const std::function<bool()>& done) {
        testing::WaitUntil([&] { return done() || !cli.running(); }, timeout);
        return done();
    }
    bool WaitForLines(std::size_t n) {
        return WaitFor([&] { return JobLines(log).size() >= n; });
    }
    bool WaitForOutput(const std::string& text) {
        return WaitFor([&] { return Contains(ReadAll(output.string()), text); });
    }
    int ExitStatus() {
        testing::WaitUntil([&] { return !cli.running(); }, timeout);
        return cli.exitStatus().value_or(-1);
    }
    std::vector<std::string> Column(std::size_t column) {
        std::vector<std::string> values;
        for (const auto& line : JobLines(log)) {
            values.push_back(line.at(column));
        }
        return values;
    }

    TemporaryFolder folder;
    fs::path log = folder.path() / "jobs.csv";
    fs::path output = folder.path() / "cli.out";
    std::unique_ptr<simcard::VirtualCard> card;
    simcard::ChildProcess cli;
};

TEST_F(EachCardTest, TenSitesGoToTenCardsEachWithItsOwnNumber) {
    constexpr int siteCount = 10;
    std::string sites = "EDTl1\r\n";
    for (int i = 0; i < siteCount; ++i) {
        sites += "06000000" + std::to_string(10 + i) + "\r\n";
    }
    tarvik::testing::WriteAll(folder.file("sites.csv"), sites);
    simcard::CardOptions options = Card("8949000000000000100");
    options.queuedCards = siteCount - 1; // ICCIDs ...100 to ...109
    card = std::make_unique<simcard::VirtualCard>(options);
    std::vector<fs::path> images;

    Start({Program({"RFT=1"}), "--vary", folder.file("sites.csv")});
    for (int i = 0; i < siteCount; ++i) {
        ASSERT_TRUE(WaitForLines(static_cast<std::size_t>(i + 1))) << ReadAll(output.string());
        images.push_back(card->imagePath());
        if (i + 1 < siteCount) {
            card->takeOut();
            card->putNextIn();
        }
    }
    EXPECT_EQ(ExitStatus(), 0) << ReadAll(output.string());

    EXPECT_EQ(Column(5), std::vector<std::string>(siteCount, "ok"));
    for (int i = 0; i < siteCount; ++i) {
        const std::string row = std::to_string(i + 1);
        EXPECT_EQ(Column(2).at(static_cast<std::size_t>(i)),
                  "89490000000000001" + std::string(i < 10 ? "0" : "") + std::to_string(i));
        EXPECT_EQ(Column(4).at(static_cast<std::size_t>(i)), row);
        // 06000000 1i as BCD: 60 00 00 00 i1
        EXPECT_TRUE(
            ImageHolds(images[static_cast<std::size_t>(i)], "60000000" + std::to_string(i) + "1"))
            << "site " << row;
    }
}

TEST_F(EachCardTest, FailedCardsAreLoggedAndTheRunGoesOn) {
    card = std::make_unique<simcard::VirtualCard>(Card("8949000000000000201"));
    Start({Program({"TL1=0612345678", "TL2=0698765432", "RED=5", "RFT=1"}), "--count", "4", "--pin",
           "1234"});
    ASSERT_TRUE(WaitForLines(1)) << ReadAll(output.string());
    // The second card drops out right after its first UPDATE RECORD was answered.
    const std::string commands = ReadAll(card->commandLogPath().string());
    const auto firstUpdate = commands.find("> A0 DC");
    ASSERT_NE(firstUpdate, std::string::npos);
    int beforeUpdate = 0;
    for (std::size_t at = commands.find("> "); at < firstUpdate; at = commands.find("> ", at + 1)) {
        ++beforeUpdate;
    }
    simcard::CardOptions pulled = Card("8949000000000000202");
    pulled.dropAfterCommands = beforeUpdate + 1;
    card->insert(pulled);
    ASSERT_TRUE(WaitForLines(2)) << ReadAll(output.string());
    card->insert(Card("8949000000000000203", 7));
    ASSERT_TRUE(WaitForLines(3)) << ReadAll(output.string());
    simcard::CardOptions pinCard = Card("8949000000000000204");
    pinCard.pin1Enabled = true;
    card->insert(pinCard);
    EXPECT_EQ(ExitStatus(), 10) << ReadAll(output.string());

    EXPECT_EQ(Column(5),
              (std::vector<std::string>{"ok", "card-removed", "insufficient-space", "ok"}));
    const auto lines = JobLines(log);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].at(7), "") << "the pulled card's backup";
    EXPECT_EQ(lines[3].at(2), "8949000000000000204");
}

TEST_F(EachCardTest, TheSameCardAgainIsAskedAboutAndCtrlCBetweenCardsStops) {
    card = std::make_unique<simcard::VirtualCard>(Card("8949000000000000301"));
    Start({Program({"TL1=0612345678", "RFT=1"})}, "n\n");
    ASSERT_TRUE(WaitForLines(1)) << ReadAll(output.string());
    card->remove();
    card->insert(); // the same card again
    ASSERT_TRUE(WaitForOutput("Write it again? [y/N]"));
    ASSERT_TRUE(WaitForOutput("[y/N] Take the card out")) << ReadAll(output.string());
    card->insert(Card("8949000000000000302"));
    ASSERT_TRUE(WaitForLines(2)) << ReadAll(output.string());
    ::kill(cli.pid(), SIGINT); // waiting for the card to go
    EXPECT_EQ(ExitStatus(), 0) << ReadAll(output.string());
    EXPECT_EQ(Column(2), (std::vector<std::string>{"8949000000000000301", "8949000000000000302"}));
    EXPECT_TRUE(Contains(ReadAll(output.string()), "2 cards, 2 ok"));
}

TEST_F(EachCardTest, CtrlCDuringACardFinishesItFirst) {
    card = std::make_unique<simcard::VirtualCard>(Card("8949000000000000501"));
    Start({Program({"TL1=0612345678", "RFT=1"})});
    ASSERT_TRUE(WaitForOutput("Card 1 in")) << ReadAll(output.string());
    ::kill(cli.pid(), SIGINT);
    EXPECT_EQ(ExitStatus(), 0) << ReadAll(output.string());
    EXPECT_EQ(Column(5), (std::vector<std::string>{"ok"}));
    EXPECT_TRUE(Contains(ReadAll(output.string()), "stopping once the card in hand is done"));
}

TEST_F(EachCardTest, ABadSitesCellWritesNoCardAndNamesRowAndColumn) {
    card = std::make_unique<simcard::VirtualCard>(Card("8949000000000000401"));
    tarvik::testing::WriteAll(folder.file("sites.csv"), "EDTl1,EDRed\n0611,5\n0622,999\n");
    const CliRun run =
        RunWith({"write-sim", Program({"RFT=1"}), "--each-card", "--vary", folder.file("sites.csv"),
                 "--reader", card->readerName(), "--log", log.string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.err, "sites.csv: row 2, column 2 (EDRed): 999 is above 99"))
        << run.err;
    EXPECT_FALSE(Contains(ReadAll(card->commandLogPath().string()), "> A0 DC"));
    EXPECT_TRUE(JobLines(log).empty());
}

// UICCs that refuse class A0, one with each phonebook layout (3GPP TS 31.102 §4.4.2), are
// programmed in a row as GSM SIMs are.
TEST_F(EachCardTest, UiccsOfEachLayoutAreProgrammedInARow) {
    const auto uicc = [](const std::string& iccid, const std::string& layout) {
        simcard::CardOptions options = Card(iccid);
        options.uicc = true;
        options.phonebook = layout;
        return options;
    };
    card = std::make_unique<simcard::VirtualCard>(uicc("8949000000000000301", "telecom"));
    Start({Program({"TL1=0612345678", "RFT=1"}), "--count", "3"});
    ASSERT_TRUE(WaitForLines(1)) << ReadAll(output.string());
    card->insert(uicc("8949000000000000302", "global"));
    ASSERT_TRUE(WaitForLines(2)) << ReadAll(output.string());
    card->insert(uicc("8949000000000000303", "local"));
    ASSERT_TRUE(WaitForLines(3)) << ReadAll(output.string());
    EXPECT_EQ(ExitStatus(), 0) << ReadAll(output.string());
    EXPECT_EQ(Column(5), std::vector<std::string>(3, "ok"));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"8949000000000000301", "8949000000000000302",
                                                   "8949000000000000303"}));
}

// --readers names the readers of the run; each line on the terminal names its reader.
TEST_F(EachCardTest, ReadersTakesTheNamedReaderAndRefusesOneNotListed) {
    card = std::make_unique<simcard::VirtualCard>(Card("8949000000000000601"));
    struct Case {
        std::string readers;
        int status;
        std::string said;
    };
    const Case cases[] = {
        {card->readerName(), 0, "[" + card->readerName() + "] Writing card 1"},
        {"No Such Reader", 11, "tarvik-cli: no reader 'No Such Reader'"},
        {card->readerName() + ",", 11, "an empty reader name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.readers);
        const CliRun run =
            RunWith({"write-sim", Program({"TL1=0612345678", "RFT=1"}), "--each-card", "--count",
                     "1", "--readers", c.readers, "--log", log.string()});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(Contains(run.err, c.said)) << run.err;
    }
    EXPECT_EQ(Column(5), (std::vector<std::string>{"ok"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{card->readerName()}));
}

// Two readers at once, cards swapped in each while the other's is written: every site on
// exactly one card, the log one whole line a card, each card holding its own site's number.
TEST_F(EachCardTest, TwoReadersAtOnceShareTheSitesAndOneLog) {
    constexpr int siteCount = 4;
    std::string sites = "EDTl1\r\n";
    for (int i = 0; i < siteCount; ++i) {
        sites += "0600000" + std::to_string(i + 1) + "\r\n";
    }
    tarvik::testing::WriteAll(folder.file("sites.csv"), sites);
    simcard::CardOptions options = Card("8949000000000000700");
    options.queuedCards = 1;
    simcard::VirtualReaders readers(2, options);
    const std::vector<std::string> names = readers.names();
    int fd[2];
    ASSERT_EQ(::pipe2(fd, O_CLOEXEC), 0);
    ::close(fd[1]);
    cli = simcard::ChildProcess({TARVIK_CLI_PATH, "write-sim", Program({"RFT=1"}), "--each-card",
                                 "--vary", folder.file("sites.csv"), "--readers",
                                 names[0] + "," + names[1], "--log", log.string()},
                                output, simcard::ChildProcess::Lifetime::DiesWithParent, fd[0]);
    ::close(fd[0]);
    ASSERT_TRUE(WaitForLines(2)) << ReadAll(output.string());
    std::vector<fs::path> firstImages = {readers[0].imagePath(), readers[1].imagePath()};
    for (std::size_t r = 0; r < 2; ++r) {
        readers[r].takeOut();
        readers[r].putNextIn();
    }
    ASSERT_TRUE(WaitForLines(4)) << ReadAll(output.string());
    EXPECT_EQ(ExitStatus(), 0) << ReadAll(output.string());

    EXPECT_EQ(Column(5), std::vector<std::string>(siteCount, "ok"));
    std::vector<std::string> rows = Column(4);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"1", "2", "3", "4"}));
    std::vector<std::string> iccids = Column(2);
    std::sort(iccids.begin(), iccids.end());
    EXPECT_EQ(std::unique(iccids.begin(), iccids.end()), iccids.end()) << "a card a line";
    for (const auto& line : JobLines(log)) {
        EXPECT_EQ(line.size(), 8u) << "a whole line";
    }
    // 0600000N as BCD (GSM 11.11 10.5.1): 60 00 00 N0; each first card holds its row.
    const auto lines = JobLines(log);
    for (std::size_t r = 0; r < 2; ++r) {
        for (const auto& line : lines) {
            if (line.at(1) == names[r] && line.at(2) == readers.iccidOf(options, r)) {
                EXPECT_TRUE(ImageHolds(firstImages[r], "600000" + line.at(4) + "0"))
                    << names[r] << " row " << line.at(4);
            }
        }
    }
}

} // namespace
} // namespace tarvik::cli
