// The backup file: its text against a file written by hand (the checksum is the CRC-32 of
// ISO 3309, computed apart from this program), and every way a file can be refused.
#include "editor/sim/SimBackup.h"

#include "base/Hex.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik {
namespace {

RecordBytes Hex(const std::string& hex) {
    return tarvik::FromHex(hex).value();
}

const std::string kTl1 = "544C31FFFFFFFFFFFFFFFFFFFFFF04812143F5FFFFFFFFFFFFFFFFFF";
const std::string kEmpty(56, 'F');
const std::string kExt1 = "020221F3FFFFFFFFFFFFFFFFFF";

// Two phonebook records (TL1 12345 and an empty one) and one extension record.
const std::string kFile = "tarvik-sim-backup 1\n"
                          "iccid 8949000000000000017\n"
                          "saved 2025-01-31T13:05:09Z\n"
                          "adn 2 28\n"
                          "ext1 1 13\n"
                          "adn-record 1 " +
                          kTl1 +
                          "\n"
                          "adn-record 2 " +
                          kEmpty +
                          "\n"
                          "ext1-record 1 " +
                          kExt1 +
                          "\n"
                          "crc32 0E31BCBA\n";

SimBackup Backup() {
    SimBackup backup;
    backup.iccid = "8949000000000000017";
    backup.saved = 1738328709; // 2025-01-31 13:05:09 UTC
    backup.adnRecordLength = 28;
    backup.adn = {Hex(kTl1), Hex(kEmpty)};
    backup.ext1 = {Hex(kExt1)};
    return backup;
}

// kFile with the text `from` replaced by `to`.
std::string Edited(const std::string& from, const std::string& to) {
    std::string text = kFile;
    text.replace(text.find(from), from.size(), to);
    return text;
}

// kFile edited, with the checksum of the edited lines (computed apart, as above): a file
// that only a hand could have written, which nothing but the edit makes wrong.
std::string Resealed(const std::vector<std::pair<std::string, std::string>>& edits,
                     const std::string& crc) {
    std::string text = kFile;
    for (const auto& [from, to] : edits) {
        text.replace(text.find(from), from.size(), to);
    }
    return text.replace(text.find("0E31BCBA"), 8, crc);
}

TEST(SimBackup, IsWrittenAsTheDocumentedTextAndReadBack) {
    EXPECT_EQ(FormatBackup(Backup()), kFile);
    const ParsedBackup parsed = ParseBackup(kFile);
    ASSERT_TRUE(parsed.backup) << parsed.error;
    EXPECT_EQ(*parsed.backup, Backup());
    EXPECT_EQ(parsed.backup->usedRecords(), 1);

    SimBackup unknown = Backup();
    unknown.iccid.reset();
    const ParsedBackup again = ParseBackup(FormatBackup(unknown));
    ASSERT_TRUE(again.backup) << again.error;
    EXPECT_EQ(again.backup->iccid, std::nullopt);
    EXPECT_NE(FormatBackup(unknown).find("\niccid unknown\n"), std::string::npos);
}

TEST(SimBackup, FilesCutShortOrChangedAreRefusedNamingTheLine) {
    struct Case {
        const char* what;
        std::string text;
        std::string error; // how the message starts
    };
    const std::vector<Case> cases = {
        {"empty", "", "line 1: this is no SIM backup"},
        {"another file", "simcard-image 1\n", "line 1: this is no SIM backup"},
        {"cut after the geometry", kFile.substr(0, kFile.find("adn-record 1")),
         "line 6: the file ends before \"adn-record 1 HEX\""},
        {"cut in a record", kFile.substr(0, kFile.find("adn-record 2") + 20),
         "line 7: expected 28 bytes of hex"},
        {"no checksum", kFile.substr(0, kFile.find("crc32")), "line 9: the file ends before"},
        {"a byte changed", Edited("04812143F5", "04812143F6"),
         "line 9: the checksum does not match"},
        {"a record missing", Edited("adn-record 2 " + kEmpty + "\n", ""),
         "line 7: expected \"adn-record 2 HEX\""},
        {"records out of order", Edited("adn-record 2", "adn-record 3"),
         "line 7: expected \"adn-record 2 HEX\": the records must come in order"},
        {"not hex", Edited("544C31", "544X31"), "line 6: expected 28 bytes of hex"},
        {"bad ICCID", Edited("8949000000000000017", "89490000x"), "line 2: the ICCID"},
        {"bad time", Edited("2025-01-31T13", "2025-02-30T13"), "line 3: expected the time"},
        {"extension records of another length", Edited("ext1 1 13", "ext1 1 14"),
         "line 5: EF EXT1 records of 14 bytes"},
        {"text after the checksum", kFile + "more\n", "line 10: unexpected text"},
        // Numbers only as they are written: digits, no sign, no leading zero.
        {"a count of -0",
         Resealed({{"ext1 1 13", "ext1 -0 13"}, {"ext1-record 1 " + kExt1 + "\n", ""}}, "11DA21A3"),
         "line 5: expected \"ext1 COUNT LENGTH\" with a count of 0 to 255"},
        {"a record number of +1", Resealed({{"adn-record 1", "adn-record +1"}}, "C92DB3EC"),
         "line 6: expected \"adn-record 1 HEX\": the records must come in order"},
        {"a record number of 02", Resealed({{"adn-record 2", "adn-record 02"}}, "726D2B2A"),
         "line 7: expected \"adn-record 2 HEX\": the records must come in order"},
        // No blank at the end of a line, where no one sees it.
        {"a blank after the geometry", Resealed({{"adn 2 28", "adn 2 28 "}}, "4E801A17"),
         "line 4: a blank at the end of the line"},
        {"a blank after a record", Resealed({{kExt1 + "\n", kExt1 + " \n"}}, "7606A195"),
         "line 8: a blank at the end of the line"},
        {"a blank after the ICCID", Resealed({{"0017\n", "0017 \n"}}, "EF45B1EE"),
         "line 2: a blank at the end of the line"},
    };
    for (const Case& c : cases) {
        const ParsedBackup parsed = ParseBackup(c.text);
        EXPECT_FALSE(parsed.backup) << c.what;
        EXPECT_EQ(parsed.error.substr(0, c.error.size()), c.error)
            << c.what << ": " << parsed.error;
    }
}

TEST(SimBackup, TimesAreUtcInIso8601) {
    EXPECT_EQ(UtcTimeText(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(ParseUtcTime("2025-01-31T13:05:09Z"), 1738328709);
    for (const char* bad : {"2025-01-31 13:05:09Z", "2025-1-31T13:05:09Z", "2025-01-31T13:05:09",
                            "2025-02-29T00:00:00Z", "2025-01-31T24:00:00Z",
                            "2025-01-31T13:05:60Z"}) { // a second this program never writes
        EXPECT_EQ(ParseUtcTime(bad), std::nullopt) << bad;
    }
}

} // namespace
} // namespace tarvik
