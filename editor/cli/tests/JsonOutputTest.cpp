// The JSON text follows RFC 8259: strings escape '"', '\' and U+0000..U+001F (section 7),
// and are UTF-8 (section 8.1).
#include "editor/cli/JsonOutput.h"

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

} // namespace
} // namespace tarvik::cli
