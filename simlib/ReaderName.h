#pragma once

#include "simlib/CardBackend.h"

#include <optional>
#include <string>

namespace quenlib {

// The reader name that stands for the first reader holding a card.
inline constexpr const char* kAnyReader = "*";

// The configured reader name: QUENLIB_READER, else the build-time default (the CMake
// setting QUENLIB_DEFAULT_READER, "*" unless changed).
std::string configuredReaderName();

// The reader to connect to: the configured name itself, or for "*" the first reader
// (in PC/SC's order) that holds a card. Empty when there is none; `failure` then says why.
std::optional<std::string> resolveReaderName(CardBackend& backend, ContextHandle context,
                                             const std::string& configured, PcscCode& failure);

} // namespace quenlib
