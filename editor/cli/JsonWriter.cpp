#include "editor/cli/JsonWriter.h"

#include "base/Utf8.h"

#include <cstdio>
#include <ostream>

namespace tarvik::cli {

std::string JsonString(std::string_view utf8) {
    std::string text = "\"";
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t c = NextUtf8(utf8, pos);
        switch (c) {
        case '"':
            text += "\\\"";
            break;
        case '\\':
            text += "\\\\";
            break;
        case '\b':
            text += "\\b";
            break;
        case '\f':
            text += "\\f";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                text += escaped;
            } else {
                AppendUtf8(text, c);
            }
        }
    }
    text += '"';
    return text;
}

void JsonWriter::beginObject() {
    open('{');
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::beginArray() {
    open('[');
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view utf8) {
    beginValue();
    out_ << JsonString(utf8) << ": ";
    afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
    beginValue();
    out_ << JsonString(utf8);
}

void JsonWriter::number(long long value) {
    beginValue();
    out_ << value;
}

void JsonWriter::boolean(bool value) {
    beginValue();
    out_ << (value ? "true" : "false");
}

void JsonWriter::beginValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (empty_.empty()) {
        return; // the top-level value
    }
    if (!empty_.back()) {
        out_ << ',';
    }
    empty_.back() = false;
    out_ << '\n';
    indent();
}

void JsonWriter::open(char bracket) {
    beginValue();
    out_ << bracket;
    empty_.push_back(true);
}

void JsonWriter::close(char bracket) {
    const bool wasEmpty = empty_.back();
    empty_.pop_back();
    if (!wasEmpty) {
        out_ << '\n';
        indent();
    }
    out_ << bracket;
    if (empty_.empty()) {
        out_ << '\n'; // the end of the document
    }
}

void JsonWriter::indent() {
    out_ << std::string(2 * empty_.size(), ' ');
}

} // namespace tarvik::cli
