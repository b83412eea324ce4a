// Comma-separated values as RFC 4180 (section 2) defines them.

#include "base/CsvTable.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(CsvTableTest, ReadsRecordsAsRfc4180WritesThem) {
    struct Case {
        std::string text;
        Rows rows;
    };
    const Case cases[] = {
        {"a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"a,b\n1,2", {{"a", "b"}, {"1", "2"}}},                    // LF, and no break at the end
        {"a,,c\n,,\n", {{"a", "", "c"}, {"", "", ""}}},            // empty fields are fields
        {"\"x,y\",\"say \"\"hi\"\"\"\n", {{"x,y", "say \"hi\""}}}, // 2.6, 2.7
        {"\"two\r\nlines\",b\n", {{"two\r\nlines", "b"}}},
        {"\xEF\xBB\xBF"
         "a\n\n\r\nb\n",
         {{"a"}, {"b"}}},   // a BOM and blank lines
        {"\"\"\n", {{""}}}, // a quoted empty field counts
        {"", {}},
        // A byte order mark is passed over at the very start only, and once.
        {"\xEF\xBB\xBF\xEF\xBB\xBF"
         "a\n",
         {{"\xEF\xBB\xBF"
           "a"}}},
        {"a\n\xEF\xBB\xBF"
         "b\n",
         {{"a"},
          {"\xEF\xBB\xBF"
           "b"}}},
        {"\"\xEF\xBB\xBF\"\n", {{"\xEF\xBB\xBF"}}},
    };
    for (const auto& c : cases) {
        const CsvTable table = ParseCsv(c.text);
        EXPECT_EQ(table.error, "") << c.text;
        EXPECT_EQ(table.rows, c.rows) << c.text;
    }
}

TEST(CsvTableTest, RefusesStrayQuotesWithTheirLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\nb\"c\n", "line 2: a quote inside a field that does not start with one"},
        {"a\n\"b\"c\n", "line 2: text after the closing quote of a field"},
        {"a\n\"b\nc\n", "line 2: a quoted field is not closed"},
    };
    for (const auto& [text, error] : cases) {
        const CsvTable table = ParseCsv(text);
        EXPECT_EQ(table.error, error) << text;
        EXPECT_TRUE(table.rows.empty());
    }
}

// RFC 4180 2.6 and 2.7: a field with a comma, a quote or a line break is quoted, and a quote
// inside it is doubled.
TEST(CsvTableTest, QuotesFieldsAsRfc4180Asks) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {";TL1=1;", ";TL1=1;"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"ok\"", "\"say \"\"ok\"\"\""},
        {"line\r\nbreak", "\"line\r\nbreak\""},
        {"lf\nonly", "\"lf\nonly\""},
    };
    for (const auto& [field, written] : cases) {
        EXPECT_EQ(CsvField(field), written) << field;
    }
}

TEST(CsvTableTest, WritesARecordQuotingOnlyWhatNeedsIt) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"ok", "a,b", "say \"x\"", "two\nlines", ""},
         "ok,\"a,b\",\"say \"\"x\"\"\",\"two\nlines\",\r\n"},
        {{"", ""}, ",\r\n"},
        // Alone, an empty field would make an empty line, which a reader passes over.
        {{""}, "\"\"\r\n"},
        // At the start of a file these bytes would be taken for a byte order mark.
        {{"\xEF\xBB\xBF"
          "a",
          "b"},
         "\"\xEF\xBB\xBF"
         "a\",b\r\n"},
    };
    for (const auto& [fields, written] : cases) {
        EXPECT_EQ(CsvRecord(fields), written) << written;
    }
}

// What the writer writes, the reader reads back as it was, record by record.
TEST(CsvTableTest, RecordsWrittenReadBackTheSame) {
    const Rows cases[] = {
        {{""}},
        {{"a"}, {""}, {"b"}},
        {{"", ""}, {"", "x"}},
        {{"\xEF\xBB\xBF"}},
        {{"\xEF\xBB\xBF"
          "first",
          "\xEF\xBB\xBF"}},
        {{"a,b", "say \"x\"", "two\r\nlines", "cr\ronly", " blank "}},
    };
    for (const Rows& rows : cases) {
        std::string text;
        for (const auto& row : rows) {
            text += CsvRecord(row);
        }
        const CsvTable table = ParseCsv(text);
        EXPECT_EQ(table.error, "") << text;
        EXPECT_EQ(table.rows, rows) << text;
    }
}

} // namespace
} // namespace tarvik
