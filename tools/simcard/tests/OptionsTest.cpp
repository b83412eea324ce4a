#include "tools/simcard/core/Options.h"

#include <gtest/gtest.h>

namespace simcard {
namespace {

ParsedArguments parse(std::vector<std::string_view> arguments) {
    return ParseArguments(arguments);
}

TEST(OptionsTest, DefaultsDescribeTheStandardCard) {
    auto parsed = parse({});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.port, 0x8C7B);
    EXPECT_EQ(parsed.options.settings.adnRecords, 250);
    EXPECT_FALSE(parsed.options.atr); // chosen by the image: plain or case card
    EXPECT_FALSE(parsed.options.settings.caseCard);
    EXPECT_EQ(parsed.options.dropAfterCommands, -1);
    EXPECT_FALSE(parsed.help);
}

TEST(OptionsTest, ValuesComeSeparateOrAfterAnEqualsSign) {
    const std::string caseArgument = "258:" + std::string(64, 'C');
    auto parsed = parse({"--port",
                         "36096",
                         "--image=/tmp/x.img",
                         "--adn-records=100",
                         "--adn-length",
                         "32",
                         "--ext1-records",
                         "none",
                         "--sms-records",
                         "0",
                         "--sms-length",
                         "180",
                         "--msisdn-records",
                         "4",
                         "--msisdn-length",
                         "20",
                         "--cdma",
                         "--pin1",
                         "0000",
                         "--puk1=11112222",
                         "--pin2",
                         "",
                         "--puk2",
                         "9",
                         "--pin1-disabled",
                         "--atr",
                         "3B 9F 00",
                         "--log",
                         "/tmp/l",
                         "--drop-after",
                         "7",
                         "--short-answer",
                         "C0:22",
                         "--short-answer",
                         "b2",
                         "--exit-on-close",
                         "--host",
                         "localhost",
                         "--case",
                         caseArgument,
                         "--case-card",
                         "--case-slots",
                         "300",
                         "--iccid",
                         "89390100123456789012"});
    ASSERT_EQ(parsed.error, "");
    const auto& o = parsed.options;
    EXPECT_EQ(o.port, 36096);
    EXPECT_EQ(o.imagePath, "/tmp/x.img");
    EXPECT_EQ(o.settings.adnRecords, 100);
    EXPECT_EQ(o.settings.adnRecordLength, 32);
    EXPECT_EQ(o.settings.ext1Records, -1);
    EXPECT_EQ(o.settings.smsRecords, 0);
    EXPECT_EQ(o.settings.smsRecordLength, 180);
    EXPECT_EQ(o.settings.msisdnRecords, 4);
    EXPECT_EQ(o.settings.msisdnRecordLength, 20);
    EXPECT_TRUE(o.settings.cdmaDirectory);
    EXPECT_EQ(o.settings.pin1, "0000");
    EXPECT_EQ(o.settings.puk1, "11112222");
    EXPECT_EQ(o.settings.pin2, "");
    EXPECT_FALSE(o.settings.pin1Enabled);
    EXPECT_EQ(o.atr, (Bytes{0x3B, 0x9F, 0x00}));
    EXPECT_EQ(o.commandLog, "/tmp/l");
    EXPECT_EQ(o.dropAfterCommands, 7);
    ASSERT_EQ(o.shortAnswers.size(), 2u);
    EXPECT_EQ(o.shortAnswers[0].ins, 0xC0);
    EXPECT_EQ(o.shortAnswers[0].length, 22u);
    EXPECT_EQ(o.shortAnswers[1].ins, 0xB2);
    EXPECT_FALSE(o.shortAnswers[1].length.has_value());
    EXPECT_TRUE(o.exitOnClose);
    EXPECT_EQ(o.host, "localhost");
    EXPECT_EQ(o.settings.caseRecords.at(258), Bytes(32, 0xCC));
    EXPECT_TRUE(o.settings.caseCard);
    EXPECT_EQ(o.settings.caseSlots, 300);
    EXPECT_EQ(o.settings.iccid, "89390100123456789012");
    EXPECT_EQ(parse({"--iccid", "none"}).options.settings.iccid, std::nullopt);
}

TEST(OptionsTest, RepeatedImagesQueueCardsEachWithItsOwnIccid) {
    auto o = parse({"--image", "a.img", "--image", "b.img", "--image", "c.img"}).options;
    EXPECT_EQ(o.imagePath, "a.img");
    EXPECT_EQ(o.queuedImages, (std::vector<std::filesystem::path>{"b.img", "c.img"}));

    struct Case {
        std::string digits;
        std::size_t place;
        std::string iccid;
    };
    const Case cases[] = {
        {"8949000000000000017", 0, "8949000000000000017"},
        {"8949000000000000017", 1, "8949000000000000018"},
        {"8949000000000000017", 3, "8949000000000000020"}, // the carry
        {"19", 81, "00"},                                  // as many digits as before
        {"7", 12, "9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QueuedIccid(c.digits, c.place), c.iccid) << c.digits << " + " << c.place;
}

TEST(OptionsTest, RefusesBadValues) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "0"},
        {"--port", "65536"},
        {"--port", "12ab"},
        {"--port"},
        {"--adn-length", "13"},
        {"--adn-records", "256"},
        {"--ext1-records", "-1"},
        {"--sms-length", "0"},
        {"--pin1", "123456789"},
        {"--atr", "3B"},
        {"--atr", "0011"},
        {"--atr", "3B0"},
        {"--drop-after", "-1"},
        {"--short-answer", "C0:x"},
        {"--short-answer", "C00"},
        {"--image="},
        {"--frobnicate"},
        {"positional"},
        {"--cdma=1"},
        {"--case", "1:00"},
        {"--case", "x:" + std::string(64, '0')},
        {"--case", "1"},
        {"--case", "65535:" + std::string(64, '0')},
        {"--case-slots", "65536"},
        {"--case-card=1"},
        {"--iccid", ""},
        {"--iccid", "123456789012345678901"},
        {"--iccid", "8949x"},
    };
    for (const auto& arguments : cases) {
        auto parsed = parse(std::vector<std::string_view>(arguments.begin(), arguments.end()));
        EXPECT_NE(parsed.error, "")
            << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
    }
}

TEST(OptionsTest, HelpDocumentsEveryOption) {
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    auto text = Usage();
    for (const char* option :
         {"--host",         "--port",        "--image",      "--adn-records",    "--adn-length",
          "--ext1-records", "--sms-records", "--sms-length", "--msisdn-records", "--cdma",
          "--pin1",         "--puk1",        "--pin2",       "--puk2",           "--pin1-disabled",
          "--atr",          "--log",         "--drop-after", "--short-answer",   "--exit-on-close",
          "--case",         "--case-card",   "--case-slots", "--version",        "--iccid"})
        EXPECT_NE(text.find(option), std::string::npos) << option;
}

TEST(OptionsTest, EveryOptionOfTheTableIsTaken) {
    // Each option of the help reaches its setter (one without would throw here).
    for (const auto& option : OptionTable()) {
        if (option.name == "--help" || option.name == "--version")
            continue;
        std::vector<std::string_view> arguments{option.name};
        if (option.value != tarvik::ArgValue::None)
            arguments.push_back("x");
        const auto parsed = ParseArguments(arguments);
        EXPECT_FALSE(parsed.error.starts_with("unknown option")) << option.name;
    }
    const struct {
        std::vector<std::string_view> arguments;
        std::string error;
    } refused[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--port"}, "--port needs a value (PORT)"},
        {{"--image="}, "--image needs a value (PATH)"},
        {{"positional"}, "extra operand 'positional'"},
        {{"--port", "0"}, "bad value '0' for --port"},
    };
    for (const auto& c : refused)
        EXPECT_EQ(ParseArguments(c.arguments).error, c.error) << c.arguments[0];
}

TEST(OptionsTest, UiccOptionsChooseTheCardAndItsPhonebook) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string error; // empty: accepted
        bool uicc;
        PhonebookLayout layout;
        bool local;
    };
    const Case cases[] = {
        {{}, "", false, PhonebookLayout::Telecom, false},
        {{"--uicc"}, "", true, PhonebookLayout::Telecom, false},
        {{"--uicc", "--phonebook", "global"}, "", true, PhonebookLayout::Global, false},
        {{"--uicc", "--phonebook=local"}, "", true, PhonebookLayout::Local, false},
        {{"--uicc", "--phonebook", "telecom", "--local-phonebook"},
         "",
         true,
         PhonebookLayout::Telecom,
         true},
        {{"--uicc", "--phonebook", "sim"}, "bad value 'sim' for --phonebook", true, {}, false},
        {{"--phonebook", "global"},
         "a phonebook outside DF Telecom needs a UICC",
         false,
         {},
         false},
        {{"--local-phonebook"}, "a phonebook outside DF Telecom needs a UICC", false, {}, false},
        {{"--uicc=1"}, "--uicc takes no value", false, {}, false},
        {{"--gsm-class"}, "only a UICC answers class A0 beside class 00", false, {}, false},
    };
    for (const auto& c : cases) {
        auto parsed = ParseArguments(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << c.arguments.size();
        if (!c.error.empty())
            continue;
        EXPECT_EQ(parsed.options.settings.uicc, c.uicc);
        EXPECT_EQ(parsed.options.settings.phonebook, c.layout);
        EXPECT_EQ(parsed.options.settings.localPhonebook, c.local);
    }
    EXPECT_TRUE(ParseArguments({{"--uicc", "--gsm-class"}}).options.settings.gsmClass);
    EXPECT_EQ(ParseArguments({{"--update-retries", "15"}}).options.updateRetries, 15);
    for (const char* bad : {"0", "16", "x"})
        EXPECT_NE(ParseArguments({{"--update-retries", bad}}).error, "") << bad;
    const auto text = Usage();
    for (const char* option : {"--uicc", "--phonebook", "--local-phonebook", "--gsm-class",
                               "--update-retries", "--timing", "--baud", "--write-ms"})
        EXPECT_NE(text.find(option), std::string::npos) << option;
}

TEST(OptionsTest, TimingIsInstantUnlessRealIsAsked) {
    const struct {
        std::vector<std::string_view> arguments;
        std::string error;
        bool real;
        int baud, writeMs;
    } cases[] = {
        {{}, "", false, 9600, 4},
        {{"--timing", "instant"}, "", false, 9600, 4},
        {{"--timing=real"}, "", true, 9600, 4},
        {{"--timing", "real", "--baud", "115200", "--write-ms", "0"}, "", true, 115200, 0},
        {{"--write-ms", "10", "--timing", "real"}, "", true, 9600, 10},
        // ISO/IEC 7816-3 Table 8 has no D = 6: 57,600 baud is no rate with F = 372.
        {{"--timing", "real", "--baud", "57600"}, "bad value '57600' for --baud", false, 0, 0},
        {{"--timing", "real", "--write-ms", "1001"},
         "bad value '1001' for --write-ms",
         false,
         0,
         0},
        {{"--timing", "slow"}, "bad value 'slow' for --timing", false, 0, 0},
        {{"--baud", "19200"}, "--baud and --write-ms need --timing real", false, 0, 0},
        {{"--timing", "real", "--timing", "instant", "--write-ms", "1"},
         "--baud and --write-ms need --timing real",
         false,
         0,
         0},
    };
    for (const auto& c : cases) {
        auto parsed = ParseArguments(c.arguments);
        EXPECT_EQ(parsed.error, c.error) << c.arguments.size();
        if (!c.error.empty())
            continue;
        EXPECT_EQ(parsed.options.realTiming, c.real);
        EXPECT_EQ(parsed.options.timing.baud, c.baud);
        EXPECT_EQ(parsed.options.timing.writeMs, c.writeMs);
    }
}

} // namespace
} // namespace simcard
