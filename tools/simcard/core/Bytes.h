#pragma once

#include <cstdint>
#include <vector>

namespace simcard {

// Bytes of a command, an answer or a file.
using Bytes = std::vector<std::uint8_t>;

} // namespace simcard
