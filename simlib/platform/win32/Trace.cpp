#include "simlib/Trace.h"

#include <string>
#include <string_view>
#include <windows.h>

namespace quenlib {

// The debugger output is always there: with no debugger listening, a message costs next to
// nothing and goes nowhere, so the trace needs no switch.
bool TraceEnabled() {
    return true;
}

void Trace(std::string_view text) {
    const std::string line(text);
    ::OutputDebugStringA(line.c_str());
}

} // namespace quenlib
