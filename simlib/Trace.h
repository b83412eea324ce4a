#pragma once

#include <string_view>

namespace quenlib {

// Whether the diagnostic trace is on: QUENLIB_TRACE is 1.
bool traceEnabled();

// Writes text to the diagnostic trace (standard error) when it is on.
void trace(std::string_view text);

} // namespace quenlib
