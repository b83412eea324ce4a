// The message log's file modes and the system's words for a failure, as POSIX gives them.
#include "modem/MessageLog.h"
#include "testing/FileContents.h"
#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tarvik::modem {
namespace {

TEST(MessageLogPermissionsTest, KeepsTheLogToItsOwner) {
    testing::TemporaryFolder folder;
    MessageLog log(folder.path() / "tarvik" / "messages.csv");
    ASSERT_TRUE(log.append({1738328709, true, "+393331234567", ";TL1=1;", "ok"})) << log.error();
    // The log holds customers' numbers: its owner's alone.
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(log.file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(log.file().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
}

TEST(MessageLogPermissionsTest, SaysWhyTheFileCannotBeWritten) {
    testing::TemporaryFolder folder;
    testing::WriteAll(folder.file("plain"), "x");
    MessageLog log(folder.path() / "plain" / "messages.csv");
    EXPECT_FALSE(log.append({0, true, "1", "t", "ok"}));
    EXPECT_NE(log.error().find("messages.csv: Not a directory"), std::string::npos) << log.error();
}

} // namespace
} // namespace tarvik::modem
