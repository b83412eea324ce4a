#pragma once

#include <string>
#include <utility>

namespace installer {

// Whether an operation succeeded, and if not, why, in words the user reads.
struct [[nodiscard]] Status {
    std::string error; // empty when it succeeded

    bool ok() const { return error.empty(); }
    static Status failure(std::string why) { return Status{std::move(why)}; }
};

// The value of an operation that can fail, or why there is none.
template <typename T>
struct [[nodiscard]] Outcome {
    T value{};
    std::string error; // empty when value holds the result

    bool ok() const { return error.empty(); }
    static Outcome failure(std::string why) { return Outcome{T{}, std::move(why)}; }
};

} // namespace installer
