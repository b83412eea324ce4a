// The parts of write-sim --each-card --readers that need no card: which readers a run
// takes, and what the terminal says of each reader, above all when Ctrl+C stops at once.
#include "editor/cli/ReaderChoice.h"
#include "editor/cli/ReadersTerminal.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tarvik::cli {
namespace {

TEST(EachCardOnReadersTest, ReadersAreTakenByNameOrAllOfThem) {
    const std::vector<std::string> listed = {"Reader A 00 00", "Reader A 00 01", "Reader B"};
    struct Case {
        const char* given;
        std::vector<std::string> readers;
        std::string error;
    };
    const Case cases[] = {
        {"all", listed, ""},
        {"Reader B,Reader A 00 00", {"Reader B", "Reader A 00 00"}, ""},
        {"Reader B,Reader B", {"Reader B"}, ""},
        {"Reader B,Reader C", {}, "no reader 'Reader C'"},
        {"Reader B,", {}, "--readers: an empty reader name in 'Reader B,'"},
        {"", {}, "--readers: an empty reader name in ''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const ReaderChoice choice = ChooseReaders(c.given, listed);
        EXPECT_EQ(choice.error, c.error);
        if (c.error.empty()) {
            EXPECT_EQ(choice.readers, c.readers);
        }
    }
    EXPECT_EQ(ChooseReaders("all", {}).error, "no card readers");
}

// What a second Ctrl+C says of each reader, by where its card stood.
TEST(EachCardOnReadersTest, AStopAtOnceSaysHowEachReadersCardWasLeft) {
    struct Case {
        ReaderPhase phase;
        std::string left;
        bool clean;
    };
    const Case cases[] = {
        {ReaderPhase::WaitingForCard, "no card in hand", true},
        {ReaderPhase::WaitingForSite, "the card in it was not touched", true},
        {ReaderPhase::Writing,
         "card 3 was being written and may hold part of its program; the backup taken "
         "before the write is listed by 'tarvik-cli backups'",
         false},
        {ReaderPhase::Verifying, "card 3 was written but not read back", false},
        {ReaderPhase::WaitingForRemoval, "card 3 was done", true},
        {ReaderPhase::Finished, "no card in hand", true},
        {ReaderPhase::Lost, "the reader was gone", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        std::istringstream in;
        std::ostringstream err;
        ReadersTerminal terminal({"R1", "R2"}, in, err, false);
        terminal.phase(0, ReaderPhase::WaitingForRemoval, 2);
        terminal.phase(1, c.phase, 3);
        EXPECT_EQ(terminal.leftInHand(),
                  "reader 'R1': card 2 was done\nreader 'R2': " + c.left + "\n");
        EXPECT_EQ(terminal.cleanStop(), c.clean);
    }
}

TEST(EachCardOnReadersTest, EachLineNamesItsReaderAndAFailedCardMakesAStopUnclean) {
    std::istringstream in("n\n");
    std::ostringstream err;
    ReadersTerminal terminal({"R1", "R2"}, in, err, false);
    terminal.phase(1, ReaderPhase::Writing, 4);
    CardJob job;
    job.iccid = "8949000000000000017";
    job.row = 2;
    job.outcome = CardOutcome::DuplicateCard;
    job.detail = "the same card (ICCID) is being written in another reader";
    terminal.cardEnded(1, job);
    EXPECT_FALSE(terminal.rewriteSameCard("8949000000000000017"));
    EXPECT_EQ(err.str(),
              "[R2] Writing card 4\n"
              "[R2] Card 4 (site row 2), ICCID 8949000000000000017: duplicate-iccid (the same "
              "card (ICCID) is being written in another reader)\n"
              "The card with ICCID 8949000000000000017 was programmed in this run already. "
              "Write it again? [y/N] ");
    terminal.phase(1, ReaderPhase::WaitingForRemoval, 4);
    EXPECT_FALSE(terminal.cleanStop());
}

} // namespace
} // namespace tarvik::cli
