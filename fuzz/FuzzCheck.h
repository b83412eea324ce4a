#pragma once

#include <cstdio>
#include <cstdlib>

namespace tarvik::fuzz {

// A property a fuzz target checks beyond "no crash". A broken one ends the run with a
// message, which libFuzzer records as a finding and the replay test as a failure.
inline void Check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

} // namespace tarvik::fuzz
