#pragma once

namespace tarvik::testing {

// The third device model, the one the editor starts with; the documents of the program
// library's tests start on it unless a test says otherwise.
inline constexpr int kThirdModel = 2;

} // namespace tarvik::testing
