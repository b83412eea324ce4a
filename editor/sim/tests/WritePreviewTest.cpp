// What a write would change, entry by entry, and how the summary says it.
#include "editor/sim/WritePreview.h"

#include "editor/sim/tests/PrintItems.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tarvik {
namespace {

std::vector<SimItem> Records(int count, const std::map<int, SimItem>& filled) {
    std::vector<SimItem> records(static_cast<std::size_t>(count));
    for (const auto& [index, item] : filled) {
        records.at(static_cast<std::size_t>(index)) = item;
    }
    return records;
}

std::vector<std::string> Lines(const WritePreview& preview) {
    const LanguageTable english;
    std::vector<std::string> lines;
    for (const EntryChange& change : preview.changes) {
        lines.push_back(ChangeLine(change, english));
    }
    return lines;
}

const std::vector<SimItem> kCard = Records(100, {
                                                    {0, {u"TL1", u"111"}},
                                                    {1, {u"TL2", u"222"}},
                                                    {2, {u"OP3", u"5"}},
                                                    {3, {u"Home", u"0123"}},
                                                    {4, {u"IP1", u"+39333"}},
                                                });

TEST(WritePreview, ListsEntriesAddedChangedRemovedAndContactsDeleted) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        bool deleteAll;
        std::vector<std::string> changes;
        bool cardChanges;
    };
    const std::vector<Case> cases = {
        // "Home" is no keyword and no line: a contact that delete mode blanks. The library
        // stores numbers without "+", so IP1 changes even with the same text.
        {"delete mode",
         {"TL1=111", "TL2=999", "IP1=+39333", "RED=1"},
         true,
         {"changed: TL2=222 -> 999 (record 2)", "removed: OP3=5 (record 3)",
          "changed: IP1=+39333 -> 39333 (record 3)", "deleted: Home=0123 (record 4)",
          "added: RED=1 (record 4)"},
         true},
        // Keep mode leaves Home where it is; the lines go around it.
        {"keep mode",
         {"TL1=111", "TL2=222", "OP3=5", "IP1=39333"},
         false,
         {"changed: IP1=+39333 -> 39333 (record 5)"},
         true},
        {"a line put in the middle is one entry added",
         {"TL1=111", "RED=1", "TL2=222", "OP3=5", "IP1=39333"},
         true,
         {"added: RED=1 (record 2)", "moved: TL2=222 (record 2 -> 3)",
          "deleted: Home=0123 (record 4)", "moved: OP3=5 (record 3 -> 4)",
          "changed: IP1=+39333 -> 39333 (record 5)"},
         true},
    };
    for (const Case& c : cases) {
        const WritePreview preview = PreviewWrite(kCard, c.lines, c.deleteAll);
        EXPECT_EQ(Lines(preview), c.changes) << c.what;
        EXPECT_EQ(preview.cardChanges, c.cardChanges) << c.what;
    }
}

TEST(WritePreview, TheSameProgramChangesNothing) {
    const auto card =
        Records(100, {{0, {u"TL1", u"111"}}, {1, {u"RED", u"1"}}, {97, {u"RFT", u"24"}}});
    const std::vector<std::string> lines = {"TL1=111", "RED=1", "RFT=24"};
    const WritePreview preview = PreviewWrite(card, lines, true);
    EXPECT_TRUE(preview.changes.empty());
    EXPECT_FALSE(preview.cardChanges);
    EXPECT_EQ(PreviewSummary(preview, LanguageTable{}), "The SIM already holds this program");
}

TEST(WritePreview, SummaryCountsWhatChangesInTheLanguageChosen) {
    LanguageTable italian;
    italian.load({"%d entries change=%d voci cambiano", "1 entry changes=1 voce cambia",
                  "%d contacts that are not part of the program will be deleted="
                  "%d contatti estranei al programma saranno cancellati"});
    struct Case {
        std::vector<std::string> lines;
        std::string english;
        std::string translated;
    };
    const std::vector<Case> cases = {
        {{"TL1=111", "TL2=222", "OP3=6"},
         "1 entry changes, 1 contact that is not part of the program will be deleted",
         "1 voce cambia, 1 contact that is not part of the program will be deleted"},
        {{"TL1=1", "TL2=2", "OP3=6"},
         "3 entries change, 1 contact that is not part of the program will be deleted",
         "3 voci cambiano, 1 contact that is not part of the program will be deleted"},
    };
    const auto card = Records(100, {{0, {u"TL1", u"111"}},
                                    {1, {u"TL2", u"222"}},
                                    {2, {u"OP3", u"5"}},
                                    {3, {u"Home", u"0123"}}});
    for (const Case& c : cases) {
        const WritePreview preview = PreviewWrite(card, c.lines, true);
        EXPECT_EQ(PreviewSummary(preview, LanguageTable{}), c.english);
        EXPECT_EQ(PreviewSummary(preview, italian), c.translated);
    }
    std::vector<std::string> tooMany;
    for (int i = 0; i < 110; ++i) {
        tooMany.push_back("N" + std::to_string(i) + "=1");
    }
    EXPECT_NE(PreviewSummary(PreviewWrite(kCard, tooMany, true), LanguageTable{})
                  .find("11 program lines do not fit on the SIM"),
              std::string::npos);
}

} // namespace
} // namespace tarvik
