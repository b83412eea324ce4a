#pragma once

#include "simlib/include/quenlib.h"

#include <utility>

namespace quenlib {

// Runs the body of an export so that no exception crosses the C interface: anything
// thrown (in practice only an allocation failure) becomes QL_E_FAILED.
template <typename Body>
QLRESULT guarded(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return QL_E_FAILED;
    }
}

} // namespace quenlib
