#include "simlib/Trace.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quenlib {

bool TraceEnabled() {
    const char* value = std::getenv("QUENLIB_TRACE");
    return value != nullptr && std::string_view(value) == "1";
}

void Trace(std::string_view text) {
    if (!TraceEnabled()) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace quenlib
