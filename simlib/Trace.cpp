#include "simlib/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quenlib {

bool traceEnabled() {
    const char* value = std::getenv("QUENLIB_TRACE");
    return value != nullptr && std::string_view(value) == "1";
}

void trace(std::string_view text) {
    if (!traceEnabled()) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace quenlib
