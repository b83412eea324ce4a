// The JSON text follows RFC 8259: strings escape '"', '\' and U+0000..U+001F (section 7),
// and are UTF-8 (section 8.1).
#include "editor/cli/JsonWriter.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

TEST(JsonWriterTest, StringsAreEscapedAndAlwaysValidUtf8) {
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
        // Malformed UTF-8 becomes U+FFFD: a lone continuation byte, a cut sequence, an
        // overlong "/", an encoded surrogate.
        {"a\x80z", "\"a\xEF\xBF\xBDz\""},
        {"a\xE2\x82", "\"a\xEF\xBF\xBD\""},
        {"\xC0\xAF", "\"\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonString(c.utf8), c.json) << c.utf8;
    }
}

TEST(JsonWriterTest, NestsObjectsAndArraysWithCommasAndIndent) {
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("model");
    json.number(-2);
    json.key("ok");
    json.boolean(true);
    json.key("lines");
    json.beginArray();
    json.string("a");
    json.beginObject();
    json.endObject();
    json.beginArray();
    json.endArray();
    json.endArray();
    json.key("k\"ey");
    json.boolean(false);
    json.endObject();
    EXPECT_EQ(out.str(), "{\n"
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
