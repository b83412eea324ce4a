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
    const std::vector<std::string> fields = {"ok", "a,b", "say \"x\"", "two\nlines", ""};
    EXPECT_EQ(CsvRecord(fields), "ok,\"a,b\",\"say \"\"x\"\"\",\"two\nlines\",\r\n");
}

} // namespace
} // namespace tarvik
