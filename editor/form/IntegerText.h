#pragma once

#include <optional>
#include <string_view>

namespace tarvik {

// Reads a decimal integer the way the form's conversions do: optional leading blanks,
// an optional sign and at least one digit, nothing after them. Values that do not fit
// in an int are not integers.
std::optional<int> ParseInteger(std::string_view text);

// ParseInteger with a fallback for text that is not an integer.
int IntegerOr(std::string_view text, int fallback);

// The text with blanks and control characters removed from both ends.
std::string_view Trimmed(std::string_view text);

} // namespace tarvik
