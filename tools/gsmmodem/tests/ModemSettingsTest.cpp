#include "tools/gsmmodem/core/ModemSettings.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace gsmmodem {
namespace {

TEST(ModemSettingsTest, OptionsShapeTheModem) {
    const ParsedModemArgs parsed = ParseModemArgs({"--link",
                                                   "/tmp/ttyGSM0",
                                                   "--record=r.log",
                                                   "--pin",
                                                   "1234",
                                                   "--fail",
                                                   "3:330",
                                                   "--mute-from",
                                                   "4",
                                                   "--reply",
                                                   "OK, done",
                                                   "--reply-after",
                                                   "200",
                                                   "--deliver",
                                                   "cmt",
                                                   "--reply-parts",
                                                   "3",
                                                   "--reply-reference=16",
                                                   "--status-report",
                                                   "cdsi",
                                                   "--register-after",
                                                   "2",
                                                   "--chatter",
                                                   "--delay",
                                                   "50"});
    ASSERT_EQ(parsed.error, "");
    const ModemSettings& s = parsed.settings;
    EXPECT_EQ(s.link, "/tmp/ttyGSM0");
    EXPECT_EQ(s.record, "r.log");
    EXPECT_EQ(s.modem.pin, "1234");
    EXPECT_EQ(s.modem.failMessage, 3u);
    EXPECT_EQ(s.modem.failCode, 330);
    EXPECT_EQ(s.modem.muteFrom, 4u);
    EXPECT_EQ(s.modem.reply, "OK, done");
    EXPECT_TRUE(s.modem.replyLater);
    EXPECT_EQ(s.replyAfterMs, 200);
    EXPECT_TRUE(s.modem.deliverToLine);
    EXPECT_EQ(s.modem.replyParts, 3u);
    EXPECT_TRUE(s.modem.wideReference);
    EXPECT_EQ(s.modem.statusReports, StatusReports::Stored);
    EXPECT_EQ(s.registerAfterSeconds, 2);
    EXPECT_FALSE(s.modem.registered);
    EXPECT_TRUE(s.modem.chatter);
    EXPECT_EQ(s.delayMs, 50);
    EXPECT_FALSE(s.modem.mute);

    const ModemSettings plain = ParseModemArgs({"--mute", "--fail", "2"}).settings;
    EXPECT_TRUE(plain.modem.mute);
    EXPECT_EQ(plain.modem.failCode, 500); // the code when none is given
    EXPECT_TRUE(plain.modem.registered);
    EXPECT_FALSE(plain.modem.deliverToLine);
    EXPECT_EQ(plain.modem.statusReports, StatusReports::None);
    EXPECT_EQ(ParseModemArgs({"--status-report", "cds"}).settings.modem.statusReports,
              StatusReports::ToLine);
}

TEST(ModemSettingsTest, RefusesWithOneReason) {
    struct Case {
        std::vector<std::string_view> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"--frob"}, "unknown option '--frob'"},
        {{"stray"}, "extra operand 'stray'"},
        {{"--pin"}, "--pin needs a value (PIN)"},
        {{"--link="}, "--link needs a value (PATH)"},
        {{"--mute=1"}, "--mute takes no value"},
        {{"--deliver", "sms"}, "--deliver takes cmt|cmti, not 'sms'"},
        {{"--reply-reference", "7"}, "--reply-reference takes 8|16, not '7'"},
        {{"--delay", "-5"}, "--delay takes a whole number, not '-5'"},
        {{"--fail", "0"}, "--fail takes K or K:CODE, K from 1"},
        {{"--fail", "2:x"}, "--fail takes K or K:CODE, K from 1"},
        {{"--fail", ":330"}, "--fail takes K or K:CODE, K from 1"},
        {{"--mute-from", "0"}, "--mute-from takes a number from 1"},
        {{"--reply-parts", "256"}, "--reply-parts takes a number from 1 to 255"},
        {{"--reply-parts", "0"}, "--reply-parts takes a number from 1 to 255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseModemArgs(c.args).error, c.error) << ::testing::PrintToString(c.args);
    }
}

TEST(ModemSettingsTest, HelpListsEveryOption) {
    EXPECT_TRUE(ParseModemArgs({"--delay", "1", "--help"}).help);
    EXPECT_FALSE(ParseModemArgs({"--", "--help"}).help);
    EXPECT_TRUE(ParseModemArgs({"--version"}).version);
    const std::string usage = ModemUsage();
    for (const char* option :
         {"--link PATH", "--record FILE", "--pin PIN", "--fail K[:CODE]", "--mute-from K",
          "--mute ", "--reply TEXT", "--reply-after MS", "--deliver cmt|cmti", "--reply-parts N",
          "--reply-reference 8|16", "--register-after SECONDS", "--chatter", "--delay MS"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

} // namespace
} // namespace gsmmodem
