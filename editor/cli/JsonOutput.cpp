#include "editor/cli/JsonOutput.h"

#include "base/Utf8.h"

#include <ostream>

namespace tarvik::cli {

std::string JsonText(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        AppendUtf8(text, NextUtf8(utf8, pos));
    }
    return text;
}

void WriteJson(const Json& value, std::ostream& out) {
    // Strings arrive through JsonText; replacing keeps a stray one from throwing.
    out << value.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

} // namespace tarvik::cli
