#include "modem/MessageLog.h"

#include "program/tests/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

// RFC 4180 2.6 and 2.7: a field with a comma, a quote or a line break is quoted, and a quote
// inside it is doubled.
TEST(MessageLogTest, QuotesFieldsAsRfc4180Asks) {
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

TEST(MessageLogTest, StartsTheFileWithItsHeaderAndAppendsRecords) {
    testing::TemporaryFolder folder;
    MessageLog log(folder.path() / "tarvik" / "messages.csv");
    ASSERT_TRUE(log.Append({1738328709, true, "+393331234567", ";TL1=1;", "ok"})) << log.error();
    ASSERT_TRUE(log.Append({1738328710, false, "+393331234567", "OK, done", "ok"}));
    EXPECT_EQ(testing::ReadAll(log.file().string()),
              "time,direction,number,text,result\r\n"
              "2025-01-31T13:05:09Z,sent,+393331234567,;TL1=1;,ok\r\n"
              "2025-01-31T13:05:10Z,received,+393331234567,\"OK, done\",ok\r\n");
}

TEST(MessageLogTest, SaysWhyTheFileCannotBeWritten) {
    testing::TemporaryFolder folder;
    testing::WriteAll(folder.file("plain"), "x");
    MessageLog log(folder.path() / "plain" / "messages.csv");
    EXPECT_FALSE(log.Append({0, true, "1", "t", "ok"}));
    EXPECT_NE(log.error().find("messages.csv: Not a directory"), std::string::npos) << log.error();
}

} // namespace
} // namespace tarvik::modem
