#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace setup {

// Splits a command line into its words: blanks and tabs separate words, and a double quote
// starts or ends a quoted stretch in which they do not (the quotes themselves are dropped).
// "\"my setup.exe\" /s" gives the words my setup.exe and /s.
std::vector<std::string> SplitCommandWords(std::string_view commandLine);

} // namespace setup
