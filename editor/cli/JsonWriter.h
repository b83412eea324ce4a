#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::cli {

// Writes one JSON value (RFC 8259) to a stream, two spaces of indent a level. Strings are
// UTF-8; malformed UTF-8 is written as U+FFFD, so the output is always valid JSON. Inside
// an object, key() comes before each member's value.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view utf8);
    void string(std::string_view utf8);
    void number(long long value);
    void boolean(bool value);

private:
    // Starts a value: the comma and line break after its predecessor, or nothing after a key.
    void beginValue();
    void open(char bracket);
    void close(char bracket);
    void indent();

    std::ostream& out_;
    std::vector<bool> empty_; // per open bracket: nothing written inside it yet
    bool afterKey_ = false;
};

// The JSON text of a string, quotes included: '"', '\' and the control characters escaped,
// every other character as UTF-8.
std::string JsonString(std::string_view utf8);

} // namespace tarvik::cli
