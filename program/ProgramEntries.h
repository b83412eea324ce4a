#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// True when name is a program keyword: the name with its letters upper-cased and every
// digit folded to "1" matches one of the keyword patterns, or begins with one of the
// keyword prefixes (V1, #1, $1, $A, RR, TR, LK). Names of fewer than 2 characters never are.
bool IsProgramKeyword(std::string_view name);

// The text with every "+" replaced by "00" (+39 333 gives 0039 333).
std::string NormaliseNumber(std::string_view text);

} // namespace tarvik
