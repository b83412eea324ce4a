// Where a write puts each program line, without a card: the records before, the lines and
// the mode in, the records after and the writes out.
#include "editor/sim/RecordPlan.h"

#include "editor/sim/tests/PrintItems.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik {
namespace {

SimItem Item(std::u16string name, std::u16string number) {
    return {std::move(name), std::move(number)};
}

// count empty records but those given.
std::vector<SimItem> Records(int count, const std::map<int, SimItem>& filled = {}) {
    std::vector<SimItem> records(static_cast<std::size_t>(count));
    for (const auto& [index, item] : filled) {
        records.at(static_cast<std::size_t>(index)) = item;
    }
    return records;
}

std::vector<std::string> NumberedLines(int first, int last) {
    std::vector<std::string> lines;
    for (int n = first; n <= last; ++n) {
        lines.push_back("N" + std::to_string(n) + "=" + std::to_string(n));
    }
    return lines;
}

SimItem Numbered(int n) {
    const std::string text = std::to_string(n);
    return {u"N" + std::u16string(text.begin(), text.end()),
            std::u16string(text.begin(), text.end())};
}

TEST(RecordPlan, DeleteModePlacesLinesInOrderWithRftAtIndex97AndBlanksTheRest) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::map<int, SimItem> after;
    };
    const std::vector<Case> cases = {
        // The RFT line's own place stays blank.
        {"A, RFT, B",
         {"A=1", "RFT=5", "B=2"},
         {{0, Item(u"A", u"1")}, {2, Item(u"B", u"2")}, {97, Item(u"RFT", u"5")}}},
        {"rft first, any case",
         {"rft=12", "TL1=1"},
         {{1, Item(u"TL1", u"1")}, {97, Item(u"RFT", u"12")}}},
        {"RFT last",
         {"TL1=1", "TL2=2", "Rft=7"},
         {{0, Item(u"TL1", u"1")}, {1, Item(u"TL2", u"2")}, {97, Item(u"RFT", u"7")}}},
        {"the last RFT wins",
         {"RFT=1", "TL1=4", "RFT=2"},
         {{1, Item(u"TL1", u"4")}, {97, Item(u"RFT", u"2")}}},
        {"no RFT: index 97 blank", {"TL1=1"}, {{0, Item(u"TL1", u"1")}}},
        {"no lines", {}, {}},
        // Names upper-cased (a to z only), blanks and control characters around a line
        // dropped; a line without "=" before its second character is a name alone;
        // Windows-1252 text becomes Unicode.
        {"texts",
         {"tl1=0123", "Nome", "=5", "  \tTL2=4 \t", "caf\xE9=1", "\x80uro=2"},
         {{0, Item(u"TL1", u"0123")},
          {1, Item(u"NOME", u"")},
          {2, Item(u"=5", u"")},
          {3, Item(u"TL2", u"4")},
          {4, Item(u"CAF\u00E9", u"1")},
          {5, Item(u"\u20ACURO", u"2")}}},
        {"64 characters at most",
         {std::string(70, 'n') + "=" + std::string(70, '7')},
         {{0, Item(std::u16string(64, u'N'), std::u16string(64, u'7'))}}},
    };
    const auto card = Records(100, {{1, Item(u"OLD", u"9")}, {50, Item(u"Home", u"0123")}});
    for (const Case& c : cases) {
        const RecordPlan plan = PlanRecords(card, c.lines, true);
        EXPECT_EQ(plan.after, Records(100, c.after)) << c.what;
        EXPECT_EQ(plan.linesLeftOver, 0) << c.what;
        // Every record is written once, in order, with its final text; but for an empty
        // record that stays empty.
        std::vector<PlannedWrite> writes;
        for (int i = 0; i < 100; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (!plan.after[at].empty() || !card[at].empty()) {
                writes.push_back({i, plan.after[at]});
            }
        }
        EXPECT_EQ(plan.writes, writes) << c.what;
    }
}

TEST(RecordPlan, LinesReachingIndex97And98GoOnFrom99) {
    // 120 lines with "RFT" as the 50th: index 49 blank, 97 and 98 free of lines, the 97th
    // line on from index 99.
    std::vector<std::string> lines = NumberedLines(1, 49);
    lines.push_back("RFT=9");
    const auto rest = NumberedLines(50, 120);
    lines.insert(lines.end(), rest.begin(), rest.end());

    const RecordPlan plan = PlanRecords(Records(250), lines, true);

    std::map<int, SimItem> after{{97, Item(u"RFT", u"9")}};
    for (int n = 1; n <= 49; ++n) {
        after[n - 1] = Numbered(n);
    }
    for (int n = 50; n <= 96; ++n) {
        after[n] = Numbered(n);
    }
    for (int n = 97; n <= 120; ++n) {
        after[n + 2] = Numbered(n);
    }
    EXPECT_EQ(plan.after, Records(250, after));
}

TEST(RecordPlan, KeepModeLeavesForeignRecordsAndTheLinesGoAround) {
    const auto card = Records(100, {
                                       {0, Item(u"Home", u"0123")},       // foreign: stays
                                       {1, Item(u"TL1", u"5555")},        // a keyword
                                       {2, Item(u"Bob", u"77")},          // a line's name
                                       {3, Item(u"Anna", u"")},           // no number
                                       {5, Item(u"zoe", u"9999")},        // foreign
                                       {6, Item(u"\u0399\u03C9", u"33")}, // Greek: foreign
                                       {97, Item(u"Casa", u"1")},    // index 97 is the program's
                                       {98, Item(u"Ufficio", u"2")}, // 98 may stay foreign
                                   });
    const std::vector<std::string> lines = {"TL1=111", "bob=2", "IP1=3", "IP2=4"};

    const RecordPlan keep = PlanRecords(card, lines, false);
    EXPECT_EQ(keep.after, Records(100, {{0, Item(u"Home", u"0123")},
                                        {1, Item(u"TL1", u"111")},
                                        {2, Item(u"BOB", u"2")},
                                        {3, Item(u"IP1", u"3")},
                                        {4, Item(u"IP2", u"4")},
                                        {5, Item(u"zoe", u"9999")},
                                        {6, Item(u"\u0399\u03C9", u"33")},
                                        {98, Item(u"Ufficio", u"2")}}));
    // The records left alone get no write, nor do the empty ones that stay empty.
    std::vector<int> written;
    for (const PlannedWrite& write : keep.writes) {
        written.push_back(write.index);
    }
    EXPECT_EQ(written, (std::vector<int>{1, 2, 3, 4, 97}));

    // Delete mode writes over them.
    const RecordPlan clear = PlanRecords(card, lines, true);
    EXPECT_EQ(clear.after[0], Item(u"TL1", u"111"));
    EXPECT_EQ(clear.after[5], SimItem{});
    EXPECT_EQ(clear.after[98], SimItem{});
}

TEST(RecordPlan, LinesThatFindNoRecordAreLeftOver) {
    std::vector<std::string> withRft = {"RFT=5"};
    const auto lines98 = NumberedLines(1, 98);
    withRft.insert(withRft.end(), lines98.begin(), lines98.end());
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::map<int, SimItem> lastRecords; // indexes 96 to 99
        int leftOver;
    };
    const std::vector<Case> cases = {
        // Without "RFT", the final step puts the next unwritten line at index 97.
        {"120 lines",
         NumberedLines(1, 120),
         {{96, Numbered(97)}, {97, Numbered(99)}, {99, Numbered(98)}},
         21},
        {"99 lines",
         NumberedLines(1, 99),
         {{96, Numbered(97)}, {97, Numbered(99)}, {99, Numbered(98)}},
         0},
        // With "RFT" held, the line still in hand at the final step did not fit.
        {"RFT and 98 lines",
         withRft,
         {{96, Numbered(96)}, {97, Item(u"RFT", u"5")}, {99, Numbered(97)}},
         1},
    };
    for (const Case& c : cases) {
        const RecordPlan plan = PlanRecords(Records(100), c.lines, true);
        EXPECT_EQ(plan.linesLeftOver, c.leftOver) << c.what;
        const std::vector<SimItem> last(plan.after.begin() + 96, plan.after.end());
        std::vector<SimItem> expected(4);
        for (const auto& [index, item] : c.lastRecords) {
            expected[static_cast<std::size_t>(index - 96)] = item;
        }
        EXPECT_EQ(last, expected) << c.what;
    }
}

TEST(RecordPlan, ACardWithoutIndex97EndsWithAWriteThere) {
    const std::vector<std::string> lines = {"TL1=1", "RFT=3"};
    const RecordPlan plan = PlanRecords(Records(50), lines, true);
    EXPECT_EQ(plan.after, Records(50, {{0, Item(u"TL1", u"1")}}));
    EXPECT_EQ(plan.writes,
              (std::vector<PlannedWrite>{{0, Item(u"TL1", u"1")}, {97, Item(u"RFT", u"3")}}));
    EXPECT_EQ(plan.linesLeftOver, 0);
}

} // namespace
} // namespace tarvik
