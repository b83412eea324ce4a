#include "tools/casemodule/CaseRecord.h"

#include <gtest/gtest.h>
#include <string>

namespace casemodule {
namespace {

Record fromHex(const std::string& hex) {
    Record record;
    for (std::size_t i = 0; i < record.size(); ++i) {
        record[i] = static_cast<std::uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
    }
    return record;
}

std::vector<std::uint8_t> ucs2(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    return bytes;
}

TEST(CaseRecordTest, EntriesHaveTheDocumentedBytes) {
    struct Case {
        CaseEntry entry;
        std::string record;
    };
    const Case cases[] = {
        {{ucs2(u"Ann"), "0123", 7},
         "0041006E006EFFFFFFFFFFFFFFFFFFFFFFFFFFFF" // name, FF FF after it
         "1032FFFFFFFFFFFFFFFFFF"                   // 0123, low nibble first
         "07"},
        {{ucs2(u"\u0416"), "*12#5", 0},
         "0416FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"
         "1AB2F5FFFFFFFFFFFFFFFF"
         "00"},
        {{ucs2(u"ABCDEFGHIJ"), "1234567890123456789012", 0xFE},
         "004100420043004400450046004700480049004A"
         "2143658709214365870921"
         "FE"},
        {{{}, "", 1}, std::string(62, 'F') + "01"},
    };
    for (const Case& c : cases) {
        const auto record = encodeRecord(c.entry);
        ASSERT_TRUE(record) << c.record;
        EXPECT_EQ(*record, fromHex(c.record));
        EXPECT_EQ(decodeRecord(*record), c.entry) << c.record;
    }
}

TEST(CaseRecordTest, EntriesThatDoNotFitAreRefused) {
    const CaseEntry cases[] = {
        {ucs2(u"ABCDEFGHIJK"), "1", 0},             // 11 characters
        {{0x00}, "1", 0},                           // odd byte count
        {ucs2(u"A"), "12345678901234567890123", 0}, // 23 digits
        {ucs2(u"A"), "12+4", 0},                    // not a case digit
        {ucs2(u"A"), "1", 0xFF},                    // attribute
        {{0x00, 0x41, 0xFF, 0xFF}, "1", 0},         // U+FFFF ends a name
    };
    for (const CaseEntry& entry : cases) {
        EXPECT_FALSE(encodeRecord(entry)) << entry.number;
    }
}

TEST(CaseRecordTest, FreeRecordsHoldNoEntry) {
    Record free;
    free.fill(0xFF);
    EXPECT_TRUE(isFree(free));
    EXPECT_FALSE(decodeRecord(free));
    EXPECT_FALSE(decodeRecord(std::span(free).first(31)));
}

TEST(CaseRecordTest, StrayBytesEndTheNumberWhereTheFormatStops) {
    // A nibble C after "12" ends the number; a name without FF FF takes all 20 bytes.
    const auto entry = decodeRecord(fromHex("0041004100410041004100410041004100410041"
                                            "213CFFFFFFFFFFFFFFFFFF"
                                            "FF"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name.size(), 20u);
    EXPECT_EQ(entry->number, "12");
    EXPECT_EQ(entry->attribute, 0xFFu);
}

} // namespace
} // namespace casemodule
