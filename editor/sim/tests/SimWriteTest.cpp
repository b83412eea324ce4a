// Writing the program to a virtual card through the real PC/SC stack. Record contents are
// checked byte by byte as GSM 11.11 lays out EF ADN (10.5.1) and EF EXT1 (10.5.10).
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/tests/SimCardFixture.h"

#include <algorithm>
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

std::string Entry(int n) {
    return "N" + std::to_string(n) + "=" + std::to_string(n);
}

// Lines N1=1 .. Nlast=last.
std::vector<std::string> NumberedLines(int first, int last) {
    std::vector<std::string> lines;
    for (int n = first; n <= last; ++n) {
        lines.push_back(Entry(n));
    }
    return lines;
}

std::size_t CountCommands(const std::vector<std::string>& commands, const std::string& prefix) {
    return static_cast<std::size_t>(
        std::count_if(commands.begin(), commands.end(),
                      [&](const std::string& c) { return c.starts_with(prefix); }));
}

class SimWriteTest : public SimCardTest {
protected:
    WriteResult Write(const std::vector<std::string>& lines, bool deleteAll = true) {
        window = RecordingWindow();
        return SimWriteAll(window, lines, deleteAll);
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

    // Progress in the caption for each record, a repaint every eighth, then the caption
    // as it was; no error.
    EXPECT_EQ(window.captions.front(), "SIM 1 / 100");
    EXPECT_EQ(window.captions[99], "SIM 100 / 100");
    EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
    EXPECT_EQ(window.captions.size(), 101u);
    std::vector<std::string> repaints;
    for (int record = 1; record <= 100; record += 8) {
        repaints.push_back(ProgressCaption(record, 100));
    }
    EXPECT_EQ(window.eventsAtCaption, repaints);
    EXPECT_EQ(window.progressSteps.back(), std::make_pair(0, 0));
    EXPECT_EQ(window.beeps, 0);
    EXPECT_TRUE(window.pauses.empty());
}

TEST_F(SimWriteTest, RftEntryGoesToIndex97WhereverItsLineStands) {
    StartCard(PinOff(100));
    Connect();
    struct Case {
        std::vector<std::string> lines;
        std::map<int, std::string> records;
    };
    const std::vector<Case> cases = {
        {{"rft=12", "TL1=1"}, {{1, "TL1=1"}, {97, "RFT=12"}}},
        {{"TL1=1", "TL2=2", "Rft=7"}, {{0, "TL1=1"}, {1, "TL2=2"}, {97, "RFT=7"}}},
        {{"RFT=1", "TL1=4", "RFT=2"}, {{1, "TL1=4"}, {97, "RFT=2"}}},
        // Without an "RFT" line, index 97 is written blank.
        {{"TL1=1"}, {{0, "TL1=1"}}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        const WriteResult result = Write(c.lines);
        EXPECT_TRUE(result.ok()) << ::testing::PrintToString(c.lines);
        EXPECT_EQ(RecordTexts(), Expected(100, c.records)) << ::testing::PrintToString(c.lines);
    }
}

TEST_F(SimWriteTest, LinesReachingIndex97And98ContinueAtIndex99) {
    StartCard();
    Connect();
    // 120 lines with "RFT" as the 50th: it leaves index 49 blank, 97 and 98 stay free of
    // lines, and the 97th line onward goes from index 99.
    std::vector<std::string> lines = NumberedLines(1, 49);
    lines.push_back("RFT=9");
    const auto rest = NumberedLines(50, 120);
    lines.insert(lines.end(), rest.begin(), rest.end());

    EXPECT_TRUE(Write(lines).ok());

    std::map<int, std::string> records{{97, "RFT=9"}};
    for (int n = 1; n <= 49; ++n) {
        records[n - 1] = Entry(n);
    }
    for (int n = 50; n <= 96; ++n) {
        records[n] = Entry(n);
    }
    for (int n = 97; n <= 120; ++n) {
        records[n + 2] = Entry(n);
    }
    EXPECT_EQ(RecordTexts(), Expected(250, records));
}

TEST_F(SimWriteTest, KeepModeLeavesForeignRecordsWhereTheyAre) {
    StartCard(PinOff(100));
    Plant({
        {0, AdnRecord("486F6D65", "03811032")}, // Home 0123: foreign, stays
        {1, AdnRecord("544C31", "03815555")},   // TL1: a keyword, overwritten
        {2, AdnRecord("426F62", "028177")},     // Bob: a line's name, overwritten
        {3, AdnRecord("416E6E61")},             // Anna without a number: overwritten
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

    // Delete mode clears them.
    EXPECT_TRUE(Write({"TL1=111"}).ok());
    EXPECT_EQ(RecordTexts(), Expected(100, {{0, "TL1=111"}}));
}

TEST_F(SimWriteTest, ValuesAreWrittenTrimmedWithTheNameUpperCased) {
    StartCard(PinOff(100));
    Connect();
    const std::string longNumber(70, '7');
    EXPECT_TRUE(Write({
                          "tl1=0123",
                          "Nome",
                          "=5",
                          "  \tTL2=4 \t",
                          "caf\xE9=1",
                          "\x80uro=2",
                          "TL3=" + longNumber,
                      })
                    .ok());
    const auto texts = RecordTexts();
    // Only a..z are upper-cased; the card holds the text as Unicode (UTF-8 here).
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 7),
              (std::vector<std::string>{"TL1=0123", "NOME=", "=5=", "TL2=4", "CAF\u00E9=1",
                                        "\u20ACURO=2", "TL3=" + longNumber.substr(0, 64)}));
    // A number over 20 digits continues in EF EXT1, which reaches the card with the flush.
    const auto ext1 = Records(simcard::EfExt1);
    EXPECT_EQ(std::count_if(ext1.begin(), ext1.end(),
                            [](const simcard::Bytes& r) { return r[0] == 0x02; }),
              3);
}

TEST_F(SimWriteTest, NamesAndNumbersAreCutTo64Characters) {
    simcard::CardOptions options = PinOff(20);
    options.adnRecordLength = 14 + 80; // an alpha field longer than 64 bytes
    StartCard(options);
    Connect();
    const std::string name(70, 'N');
    Write({name + "=1"});
    const auto records = Records();
    EXPECT_EQ(records[0], [&] {
        simcard::Bytes expected(64, 'N');
        expected.resize(80, 0xFF);
        const auto number = Hex("0281F1");
        expected.insert(expected.end(), number.begin(), number.end());
        expected.resize(94, 0xFF);
        return expected;
    }());
}

TEST_F(SimWriteTest, LinesLeftOverEndInInsufficientSimSpace) {
    StartCard(PinOff(100));
    Connect();
    struct Case {
        std::vector<std::string> lines;
        std::map<int, std::string> lastRecords; // indexes 96 to 99
        bool leftOver;
    };
    std::vector<std::string> withRft = {"RFT=5"};
    const auto lines98 = NumberedLines(1, 98);
    withRft.insert(withRft.end(), lines98.begin(), lines98.end());
    const std::vector<Case> cases = {
        // Without "RFT", the final step puts the next unwritten line at index 97.
        {NumberedLines(1, 120), {{96, Entry(97)}, {97, Entry(99)}, {99, Entry(98)}}, true},
        {NumberedLines(1, 99), {{96, Entry(97)}, {97, Entry(99)}, {99, Entry(98)}}, false},
        // With "RFT" held, the line still in hand at the final step did not fit: it must
        // not vanish without a word.
        {withRft, {{96, Entry(96)}, {97, "RFT=5"}, {99, Entry(97)}}, true},
    };
    for (const auto& c : cases) {
        const WriteResult result = Write(c.lines);
        EXPECT_FALSE(result.writeError);
        EXPECT_EQ(result.linesLeftOver, c.leftOver) << c.lines.size();
        const auto texts = RecordTexts();
        const std::vector<std::string> last(texts.begin() + 96, texts.end());
        std::vector<std::string> expected(4);
        for (const auto& [index, text] : c.lastRecords) {
            expected[static_cast<std::size_t>(index - 96)] = text;
        }
        EXPECT_EQ(last, expected) << c.lines.size();
        const bool shown = std::find(window.captions.begin(), window.captions.end(),
                                     kInsufficientSimSpace) != window.captions.end();
        EXPECT_EQ(shown, c.leftOver);
        EXPECT_EQ(window.beeps, c.leftOver ? 1 : 0);
        EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
    }
}

TEST_F(SimWriteTest, CardWithFewerThan98RecordsEndsInWriteError) {
    StartCard(PinOff(50));
    Connect();

    const WriteResult result = Write({"TL1=1", "RFT=3"});

    // Index 97 is record 98, which this card does not have: UPDATE RECORD is answered
    // "out of range" (GSM 11.11 9.4.4), after every record the card has was written.
    EXPECT_TRUE(result.writeError);
    EXPECT_FALSE(result.linesLeftOver);
    EXPECT_EQ(RecordTexts(), Expected(50, {{0, "TL1=1"}}));
    const std::vector<std::string> tail(window.captions.end() - 2, window.captions.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Write Error", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.beeps, 1);
    EXPECT_EQ(window.pauses, std::vector<std::chrono::milliseconds>{2000ms});
}

TEST_F(SimWriteTest, PhonebookUnder8RecordsIsNotTouched) {
    StartCard(PinOff(7));
    Connect();
    const auto before = Image();
    const std::size_t commandsBefore = Commands().size();

    const WriteResult result = Write({"TL1=1"});

    EXPECT_TRUE(result.linesLeftOver);
    EXPECT_EQ(Image(), before);
    const auto commands = Commands();
    EXPECT_EQ(CountCommands({commands.begin() + static_cast<long>(commandsBefore), commands.end()},
                            "A0 DC"),
              0u);
    EXPECT_EQ(window.captions,
              (std::vector<std::string>{"Insufficient SIM space", "Tarvik3 - alarm.sim"}));
    EXPECT_EQ(window.beeps, 1);
}

TEST_F(SimWriteTest, CardPulledOutDuringWriteFailsAndTheNextCommandConnectsAgain) {
    simcard::CardOptions options = PinOff(100);
    options.dropAfterCommands = 60;
    StartCard(options);
    Connect();

    const WriteResult result = Write(NumberedLines(1, 40));
    EXPECT_TRUE(result.writeError);
    EXPECT_NE(std::find(window.captions.begin(), window.captions.end(), "Write Error"),
              window.captions.end());
    EXPECT_EQ(window.captions.back(), "Tarvik3 - alarm.sim");
    // The dead connection is gone: the next command does not fail on it.
    EXPECT_FALSE(SimIsConnected());

    // Put back (with a fault count of its own), the card is found again.
    card->insert();
    Connect();
    EXPECT_EQ(SimSelectPhonebook(), 100);
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
