#pragma once

#include <stdexcept>

namespace mkpackage {

// A reason why a package could not be built or listed, worded for the user.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace mkpackage
