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
    // The log holds customers' numbers: its owner's alone.
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(log.file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(log.file().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
}

TEST(MessageLogTest, SaysWhyTheFileCannotBeWritten) {
    testing::TemporaryFolder folder;
    testing::WriteAll(folder.file("plain"), "x");
    MessageLog log(folder.path() / "plain" / "messages.csv");
    EXPECT_FALSE(log.append({0, true, "1", "t", "ok"}));
    EXPECT_NE(log.error().find("messages.csv: Not a directory"), std::string::npos) << log.error();
}

} // namespace
} // namespace tarvik::modem
