#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace tarvik::cli {

// A JSON value whose object members keep the order they were added in, so that the output
// lists them as the help describes them.
using Json = nlohmann::ordered_json;

// The text of a string for a JSON value: valid UTF-8, each malformed sequence (overlong, a
// surrogate, cut short, a stray continuation byte) replaced by one U+FFFD, so that the output
// is always valid JSON.
std::string JsonText(std::string_view utf8);

// Writes value as the commands print JSON (RFC 8259): two spaces an indent level, "key": value,
// characters beyond ASCII as UTF-8, and a line break at the end.
void WriteJson(const Json& value, std::ostream& out);

} // namespace tarvik::cli
