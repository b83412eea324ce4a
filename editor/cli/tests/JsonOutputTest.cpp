// The JSON text follows RFC 8259: strings escape '"', '\' and U+0000..U+001F (section 7),
// and are UTF-8 (section 8.1).
#include "editor/cli/JsonOutput.h"

#include "editor/cli/CardJson.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

std::string Written(const Json& value) {
    std::ostringstream out;
    WriteJson(value, out);
    return out.str();
}

TEST(JsonOutputTest, StringsAreEscapedAndAlwaysValidUtf8) {
    struct Case {
        std::string utf8;
        std::string json;
    };
    const std::vector<Case> cases = {
        {"", R"("")"},
        {"plain text", R"("plain text")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\sim", R"("C:\\sim")"},
        {"a/b", R"("a/b")"},
        {"\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {std::string("\x00\x01\x1f", 3), R"("\u0000\u0001\u001f")"},
        {"\x7f", "\"\x7f\""},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB1",
         "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB1\""},
        // Malformed UTF-8 becomes one U+FFFD a sequence: a lone continuation byte, a cut
        // sequence, an overlong "/", an encoded surrogate.
        {"a\x80z", "\"a\xEF\xBF\xBDz\""},
        {"a\xE2\x82", "\"a\xEF\xBF\xBD\""},
        {"\xC0\xAF", "\"\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Written(JsonText(c.utf8)), c.json + "\n") << c.utf8;
    }
}

TEST(JsonOutputTest, NestsObjectsAndArraysWithCommasAndIndent) {
    Json json = Json::object();
    json["model"] = -2;
    json["ok"] = true;
    json["lines"] = Json::array({"a", Json::object(), Json::array()});
    json["k\"ey"] = false;
    EXPECT_EQ(Written(json), "{\n"
                             "  \"model\": -2,\n"
                             "  \"ok\": true,\n"
                             "  \"lines\": [\n"
                             "    \"a\",\n"
                             "    {},\n"
                             "    []\n"
                             "  ],\n"
                             "  \"k\\\"ey\": false\n"
                             "}\n");
}

TEST(JsonOutputTest, CardReportKeepsItsKeysInOrder) {
    CardReport uicc;
    uicc.card = {.reader = "Virtual PCD 00 00",
                 .atr = {0x3B, 0x80, 0x80, 0x1F, 0xC6, 0xD9},
                 .kind = CardKind::UiccOnly,
                 .place = PhonebookPlace::Global,
                 .adnFile = 0x4F3A,
                 .ext1File = 0x4F4A,
                 .localPhonebookToo = true};
    uicc.iccid = "8949000000000000017";
    uicc.phonebook = PhonebookGeometry{250, 28, 10};
    uicc.pin = PinFacts{true, 3, 10};
    uicc.shortMessages = true;
    CardReport bare; // nothing answered: no ICCID, no phonebook, the PIN unreadable
    bare.card.reader = "R\"1\"";
    struct Case {
        CardReport report;
        std::string json;
    };
    const std::vector<Case> cases = {
        {uicc, "{\n"
               "  \"reader\": \"Virtual PCD 00 00\",\n"
               "  \"atr\": \"3B 80 80 1F C6 D9\",\n"
               "  \"kind\": \"UICC only\",\n"
               "  \"iccid\": \"8949000000000000017\",\n"
               "  \"phonebook\": {\n"
               "    \"place\": \"global phonebook 7F10/5F3A/4F3A\",\n"
               "    \"adn\": \"4F3A\",\n"
               "    \"ext1\": \"4F4A\",\n"
               "    \"records\": 250,\n"
               "    \"recordLength\": 28,\n"
               "    \"ext1Records\": 10\n"
               "  },\n"
               "  \"pin\": {\n"
               "    \"enabled\": true,\n"
               "    \"attemptsLeft\": 3,\n"
               "    \"unblockAttemptsLeft\": 10\n"
               "  },\n"
               "  \"sms\": true,\n"
               "  \"msisdn\": false,\n"
               "  \"localPhonebookToo\": true\n"
               "}\n\n"},
        {bare, "{\n"
               "  \"reader\": \"R\\\"1\\\"\",\n"
               "  \"atr\": \"\",\n"
               "  \"kind\": \"unknown\",\n"
               "  \"iccid\": \"\",\n"
               "  \"phonebook\": {\n"
               "    \"place\": \"not found\",\n"
               "    \"adn\": \"\",\n"
               "    \"ext1\": \"\",\n"
               "    \"records\": 0,\n"
               "    \"recordLength\": 0,\n"
               "    \"ext1Records\": 0\n"
               "  },\n"
               "  \"pin\": \"unreadable\",\n"
               "  \"sms\": false,\n"
               "  \"msisdn\": false,\n"
               "  \"localPhonebookToo\": false\n"
               "}\n\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream out;
        WriteCardJson(c.report, out);
        EXPECT_EQ(out.str(), c.json) << c.report.card.reader;
    }
}

} // namespace
} // namespace tarvik::cli
