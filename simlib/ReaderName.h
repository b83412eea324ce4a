#pragma once

#include "CardBackend.h"

#include <optional>
#include <string>

namespace quenlib {

// The reader the library opens when QUENLIB_READER is not set: any reader with a card.
inline constexpr const char* kDefaultReaderName = "*";
inline constexpr const char* kAnyReader = "*";

// The configured reader name: QUENLIB_READER, else the build-time default.
std::string configuredReaderName();

// The reader to connect to: the configured name itself, or for "*" the first reader
// (in PC/SC's order) that holds a card. Empty when there is none; `failure` then says why.
std::optional<std::string> resolveReaderName(CardBackend& backend, ContextHandle context,
                                             const std::string& configured, PcscCode& failure);

} // namespace quenlib
