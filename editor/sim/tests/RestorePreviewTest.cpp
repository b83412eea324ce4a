// A backup's raw records read as entries, and what restoring it would change on a card.
#include "editor/sim/RestorePreview.h"

#include "base/Hex.h"
#include "editor/sim/tests/PrintItems.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

RecordBytes Hex(std::string_view hex) {
    return tarvik::FromHex(hex).value();
}

// 28-byte EF ADN records (GSM 11.11 §10.5.1): 14 bytes of alpha identifier, then the length
// of the BCD number with its TON/NPI byte, TON/NPI, 10 BCD bytes (low nibble first, F
// filler), capability/configuration identifier and extension1 record identifier.
constexpr std::string_view kEmpty = "FFFFFFFFFFFFFFFFFFFFFFFFFFFF"
                                    "FFFFFFFFFFFFFFFFFFFFFFFFFFFF";
constexpr std::string_view kTl1 = "544C31FFFFFFFFFFFFFFFFFFFFFF"
                                  "06816021436587FFFFFFFFFFFFFF";
constexpr std::string_view kTl1Other = "544C31FFFFFFFFFFFFFFFFFFFFFF"
                                       "0381111FFFFFFFFFFFFFFFFFFFFF";
constexpr std::string_view kIp1 = "495031FFFFFFFFFFFFFFFFFFFFFF"
                                  "04919333F3FFFFFFFFFFFFFFFFFF";
// Annex B: 80 starts the UCS2 form, big-endian pairs ("\u00C4n").
constexpr std::string_view kUcs2 = "8000C4006EFFFFFFFFFFFFFFFFFF"
                                   "0281F1FFFFFFFFFFFFFFFFFFFFFF";
// Twenty digits in the record, the rest in EF EXT1 record 1.
constexpr std::string_view kLong = "4C4F4E47FFFFFFFFFFFFFFFFFFFF"
                                   "0B8110325476981032547698FF01";
// EF EXT1 (GSM 11.11 §10.5.10): type 02 (additional data), BCD length, 10 BCD bytes, next id.
constexpr std::string_view kExt1Last = "02021032FFFFFFFFFFFFFFFFFF";
constexpr std::string_view kExt1Loop = "02021032FFFFFFFFFFFFFFFF01";

SimBackup Backup(std::vector<std::string_view> adn, std::vector<std::string_view> ext1 = {}) {
    SimBackup backup;
    backup.adnRecordLength = 28;
    for (const std::string_view record : adn) {
        backup.adn.push_back(Hex(record));
    }
    for (const std::string_view record : ext1) {
        backup.ext1.push_back(Hex(record));
    }
    return backup;
}

TEST(RestorePreview, ReadsRecordsAsTheCardLibraryDoes) {
    struct Case {
        const char* what;
        std::string_view record;
        std::vector<std::string_view> ext1;
        SimItem expected;
    };
    const Case cases[] = {
        {"empty record", kEmpty, {}, {}},
        {"one-byte name, national number", kTl1, {}, {u"TL1", u"0612345678"}},
        {"international number", kIp1, {}, {u"IP1", u"+39333"}},
        {"UCS2 name", kUcs2, {}, {u"\u00C4n", u"1"}},
        {"number continued in EXT1", kLong, {kExt1Last}, {u"LONG", u"012345678901234567890123"}},
        {"chain that points back at itself",
         kLong,
         {kExt1Loop},
         {u"LONG", u"012345678901234567890123"}},
        {"extension record missing", kLong, {}, {u"LONG", u"01234567890123456789"}},
        {"record shorter than a number block", "544C31", {}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<SimItem> items = BackupItems(Backup({c.record}, c.ext1));
        ASSERT_EQ(items.size(), 1u) << c.what;
        EXPECT_EQ(items[0], c.expected) << c.what;
    }
}

TEST(RestorePreview, ComparesTheCardRecordByRecord) {
    struct Case {
        const char* what;
        std::vector<SimItem> card;
        std::vector<std::string_view> backup;
        std::vector<std::string> lines;
    };
    const SimItem tl1{u"TL1", u"0612345678"};
    const SimItem ip1{u"IP1", u"+39333"};
    const Case cases[] = {
        {"the same", {tl1, {}}, {kTl1, kEmpty}, {}},
        {"entry back in an empty record",
         {{}, {}},
         {kEmpty, kTl1},
         {"added: TL1=0612345678 (record 2)"}},
        {"entry the backup lacks", {tl1}, {kEmpty}, {"removed: TL1=0612345678 (record 1)"}},
        {"other number", {{u"TL1", u"111"}}, {kTl1}, {"changed: TL1=111 -> 0612345678 (record 1)"}},
        {"other entry in the record",
         {ip1},
         {kTl1},
         {"removed: IP1=+39333 (record 1)", "added: TL1=0612345678 (record 1)"}},
        {"same entry in another record",
         {ip1, {}},
         {kEmpty, kIp1},
         {"removed: IP1=+39333 (record 1)", "added: IP1=+39333 (record 2)"}},
    };
    const LanguageTable english;
    for (const Case& c : cases) {
        const WritePreview preview = PreviewRestore(c.card, Backup(c.backup));
        std::vector<std::string> lines;
        for (const EntryChange& change : preview.changes) {
            lines.push_back(ChangeLine(change, english));
        }
        EXPECT_EQ(lines, c.lines) << c.what;
        EXPECT_EQ(preview.cardChanges, !c.lines.empty()) << c.what;
    }
}

TEST(RestorePreview, SummarySaysWhenTheCardAlreadyHoldsTheBackup) {
    const LanguageTable english;
    const SimItem tl1{u"TL1", u"0612345678"};
    EXPECT_EQ(RestoreSummary(PreviewRestore(std::vector{tl1}, Backup({kTl1})), english),
              "The SIM already holds this backup");
    EXPECT_EQ(RestoreSummary(PreviewRestore(std::vector<SimItem>{{}}, Backup({kTl1})), english),
              "1 entry changes");
    EXPECT_EQ(BackupEntryLine(tl1, 12, english), "TL1=0612345678 (record 13)");
}

} // namespace
} // namespace tarvik
