#include "tools/simcard/fixture/CardStack.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

TEST(CardStackTest, ReaderConfYieldsTheVpcdEntries) {
    auto entries = ParseReaderConf(R"(# Gemalto reader with serial communication
#FRIENDLYNAME      "GemPCTwin serial"
#LIBPATH           /usr/lib/pcsc/drivers/serial/libccidtwin.so
FRIENDLYNAME "Virtual PCD"
DEVICENAME   /dev/null:0x8C7B
LIBPATH      /usr/lib/pcsc/drivers/serial/libifdvpcd.so
CHANNELID    0x8C7B

FRIENDLYNAME "Serial reader"
DEVICENAME   /dev/ttyS0
LIBPATH      /usr/lib/pcsc/drivers/serial/libccidtwin.so

FRIENDLYNAME  "Second vpcd"
DEVICENAME    /dev/null:36200
LIBPATH       /opt/vpcd-copy.so
)");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].friendlyName, "Virtual PCD");
    EXPECT_EQ(entries[0].port, 0x8C7B);
    EXPECT_EQ(entries[1].friendlyName, "Second vpcd");
    EXPECT_EQ(entries[1].port, 36200);
    EXPECT_EQ(entries[1].libraryPath, "/opt/vpcd-copy.so");
}

TEST(CardStackTest, SlotsAreTheListedReadersOfEachDriverFile) {
    const std::vector<VpcdEntry> entries = {
        {"Virtual SIM 1", 1000, "/a.so"},
        {"Virtual SIM 2", 1002, "/b.so"},
        {"Shares a.so", 1004, "/a.so"}, // its state would collide with the first entry's
        {"Not listed", 1006, "/c.so"},
    };
    const std::vector<std::string> readers = {"Virtual SIM 1 00 00",  "Virtual SIM 1 00 01",
                                              "Virtual SIM 2 01 00",  "Shares a.so 00 00",
                                              "Virtual SIM 10 00 00", "Other reader 00 00"};
    auto slots = MatchSlots(entries, readers);
    const std::vector<ReaderSlot> expected = {{"Virtual SIM 1 00 00", 1000},
                                              {"Virtual SIM 1 00 01", 1001},
                                              {"Virtual SIM 2 01 00", 1002}};
    EXPECT_EQ(slots, expected);
}

TEST(CardStackTest, PrivateEntriesUseTheirOwnDriverCopies) {
    CardStack stack("/tmp/some-stack");
    auto entries = stack.privateEntries();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[0].port + 2, entries[1].port);
    EXPECT_NE(entries[0].libraryPath, entries[1].libraryPath);
    EXPECT_TRUE(entries[2].libraryPath.starts_with("/tmp/some-stack/"));
}

} // namespace
} // namespace simcard
