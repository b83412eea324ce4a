#include "modem/MessageLog.h"

#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tarvik::modem {
namespace {

TEST(MessageLogTest, StartsTheFileWithItsHeaderAndAppendsRecords) {
    testing::TemporaryFolder folder;
    MessageLog log(folder.path() / "tarvik" / "messages.csv");
    ASSERT_TRUE(log.append({1738328709, true, "+393331234567", ";TL1=1;", "ok"})) << log.error();
    ASSERT_TRUE(log.append({1738328710, false, "+393331234567", "OK, done", "ok"}));
    EXPECT_EQ(testing::ReadAll(log.file().string()),
              "time,direction,number,text,result\r\n"
              "2025-01-31T13:05:09Z,sent,+393331234567,;TL1=1;,ok\r\n"
              "2025-01-31T13:05:10Z,received,+393331234567,\"OK, done\",ok\r\n");
}

// Times in the log are UTC from the count of seconds alone (POSIX "seconds since the Epoch":
// no leap seconds), whatever the machine's time zone.
TEST(MessageLogTest, WritesTimesAsUtcInIso8601) {
    struct Case {
        std::time_t time;
        std::string text;
    };
    const Case cases[] = {
        {0, "1970-01-01T00:00:00Z"},          {-1, "1969-12-31T23:59:59Z"},
        {951782400, "2000-02-29T00:00:00Z"},  {1738328709, "2025-01-31T13:05:09Z"},
        {4102444799, "2099-12-31T23:59:59Z"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvRecord({c.time, true, "1", "t", "ok"}), c.text + ",sent,1,t,ok\r\n");
    }
}

TEST(MessageLogTest, SaysWhichFileCannotBeWritten) {
    testing::TemporaryFolder folder;
    testing::WriteAll(folder.file("plain"), "x");
    MessageLog log(folder.path() / "plain" / "messages.csv");
    EXPECT_FALSE(log.append({0, true, "1", "t", "ok"}));
    // The path as far as the system names it: the log's on Linux, the file in its way on
    // Windows.
    EXPECT_NE(log.error().find("plain"), std::string::npos) << log.error();
    EXPECT_EQ(testing::ReadAll(folder.file("plain")), "x");
}

} // namespace
} // namespace tarvik::modem
