#pragma once

#include <string_view>

namespace quenlib {

// The diagnostic trace. Each platform has its own channel (platform/*/Trace.cpp): the
// debugger output on Windows, standard error elsewhere while QUENLIB_TRACE is 1.

// Whether text given to Trace() goes anywhere.
bool TraceEnabled();

// Writes text to the diagnostic trace when it is on.
void Trace(std::string_view text);

} // namespace quenlib
