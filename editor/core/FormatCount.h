#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// A message with one number put in: the first "%d" of format becomes the decimal value and
// "%%" becomes "%". Formats come from language files, so anything else after a "%" is kept
// as it stands rather than read as a conversion; a format without "%d" shows no number.
std::string FormatCount(std::string_view format, int value);

} // namespace tarvik
