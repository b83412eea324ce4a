#include "tools/simcard/launcher/CommandRun.h"
#include "tools/simcard/launcher/ReaderChoice.h"
#include "tools/simcard/launcher/SessionOptions.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace simcard {
namespace {

TEST(SessionOptions, ImageAndCommandAreNeeded) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string error; // "" for good arguments
        bool useRealCard = false;
        std::vector<std::string> command;
    };
    const std::vector<Case> cases = {
        {{"--image", "d.img", "--", "tarvik", "-x"}, "", false, {"tarvik", "-x"}},
        {{"--use-real-card", "--image=d.img", "--", "a", "--image"}, "", true, {"a", "--image"}},
        {{"--image", "d.img"}, "no command after --", false, {}},
        {{"--image", "d.img", "--"}, "no command after --", false, {}},
        {{"--", "tarvik"}, "--image PATH is missing", false, {}},
        {{"--image", "", "--", "tarvik"}, "--image needs a value (PATH)", false, {}},
        {{"--image"}, "--image needs a value (PATH)", false, {}},
        {{"--image", "d.img", "tarvik"}, "extra operand 'tarvik'", false, {}},
        {{"--image", "d.img", "--frob", "--", "a"}, "unknown option '--frob'", false, {}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseSessionArguments(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << ::testing::PrintToString(c.arguments);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.options.image, "d.img");
            EXPECT_EQ(parsed.options.useRealCard, c.useRealCard);
            EXPECT_EQ(parsed.options.command, c.command);
        }
    }
    EXPECT_TRUE(ParseSessionArguments({"--image", "x", "--help"}).help);
    EXPECT_FALSE(ParseSessionArguments({"--image", "x", "--", "a", "--help"}).help);
    EXPECT_EQ(ParseSessionArguments({"--iccid", "8939", "--image", "x", "--", "a"}).options.iccid,
              "8939");
}

TEST(SessionOptions, UiccOptionsGoToTheCard) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string error;
        std::vector<std::string> cardArguments;
    };
    const std::vector<Case> cases = {
        {{"--image", "d.img", "--", "a"}, "", {}},
        {{"--uicc", "--image", "d.img", "--", "a"}, "", {"--uicc"}},
        {{"--uicc", "--phonebook", "global", "--local-phonebook", "--image", "d.img", "--", "a"},
         "",
         {"--uicc", "--phonebook", "global", "--local-phonebook"}},
        {{"--uicc", "--gsm-class", "--image", "d.img", "--", "a"}, "", {"--uicc", "--gsm-class"}},
        {{"--uicc", "--phonebook", "sim", "--image", "d.img", "--", "a"},
         "bad value 'sim' for --phonebook",
         {}},
        {{"--uicc", "--phonebook"}, "--phonebook needs a value (telecom|global|local)", {}},
        {{"--phonebook", "global", "--image", "d.img", "--", "a"},
         "a phonebook outside DF Telecom needs a UICC",
         {}},
        {{"--timing", "real", "--baud", "38400", "--image", "d.img", "--", "a"},
         "",
         {"--timing", "real", "--baud", "38400"}},
        {{"--image", "d.img", "--timing", "real", "--write-ms", "0", "--", "a"},
         "",
         {"--timing", "real", "--write-ms", "0"}},
        {{"--timing", "fast", "--image", "d.img", "--", "a"}, "bad value 'fast' for --timing", {}},
        {{"--baud", "19200", "--image", "d.img", "--", "a"},
         "--baud and --write-ms need --timing real",
         {}},
        {{"--image", "d.img", "--timing"}, "--timing needs a value (instant|real)", {}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseSessionArguments(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << ::testing::PrintToString(c.arguments);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.options.cardArguments, c.cardArguments);
        }
    }
    for (const char* option : {"--phonebook", "--timing", "--baud", "--write-ms"})
        EXPECT_NE(SessionUsage().find(option), std::string::npos) << option;
}

TEST(SessionOptions, EachImageOptionIsAReaderWithItsQueue) {
    using Paths = std::vector<std::filesystem::path>;
    struct Case {
        std::vector<std::string_view> arguments;
        std::string error;
        std::vector<Paths> readers;
    };
    const std::vector<Case> cases = {
        {{"--image", "a.img", "--", "x"}, "", {{"a.img"}}},
        {{"--image", "a1.img,a2.img,a3.img", "--", "x"}, "", {{"a1.img", "a2.img", "a3.img"}}},
        {{"--image", "a.img", "--image", "b1.img,b2.img", "--image=c.img", "--", "x"},
         "",
         {{"a.img"}, {"b1.img", "b2.img"}, {"c.img"}}},
        {{"--image", "a.img,,b.img", "--", "x"},
         "--image: an empty image name in 'a.img,,b.img'",
         {}},
        {{"--image", "a.img,", "--", "x"}, "--image: an empty image name in 'a.img,'", {}},
        {{"--image", ",a.img", "--", "x"}, "--image: an empty image name in ',a.img'", {}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseSessionArguments(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << ::testing::PrintToString(c.arguments);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.options.readers, c.readers);
            EXPECT_EQ(parsed.options.image, c.readers.front().front());
        }
    }
}

TEST(ReaderChoice, RealCardIsTheFirstNonVirtualReaderHoldingOne) {
    const std::vector<ReaderSlot> virtualSlots = {{"Virtual PCD 00 00", 35963},
                                                  {"Virtual PCD 00 01", 35964}};
    struct Case {
        std::vector<std::string> readers;
        std::vector<bool> holding;
        std::optional<std::string> chosen;
    };
    const std::vector<Case> cases = {
        {{}, {}, std::nullopt},
        {{"Virtual PCD 00 00"}, {true}, std::nullopt},
        {{"Virtual PCD 00 00", "ACME Reader 00 00"}, {true, false}, std::nullopt},
        {{"Virtual PCD 00 00", "ACME Reader 00 00"}, {true, true}, "ACME Reader 00 00"},
        {{"A 00 00", "B 00 00"}, {false, true}, "B 00 00"},
        {{"A 00 00", "B 00 00"}, {true, true}, "A 00 00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RealCardReader(c.readers, c.holding, virtualSlots), c.chosen)
            << ::testing::PrintToString(c.readers);
    }
}

TEST(CommandRun, GivesTheCommandsExitStatus) {
    EXPECT_EQ(RunCommand({"true"}), 0);
    EXPECT_EQ(RunCommand({"sh", "-c", "exit 7"}), 7);
    EXPECT_EQ(RunCommand({"sh", "-c", "kill -TERM $$"}), 128 + 15);
    EXPECT_EQ(RunCommand({"/nonexistent/program"}), 127);
}

} // namespace
} // namespace simcard
