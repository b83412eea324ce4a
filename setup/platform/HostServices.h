#pragma once

#include "setup/platform/SetupPlatform.h"

#include <optional>
#include <string>

namespace setup {

// What the process-wide install log needs from the running system, before any platform object
// exists. Each system's setup platform file implements these.

// The version of the running system; nothing when it cannot be read.
std::optional<OsVersion> HostOsVersion();

// The current time in UTC.
SystemTime CurrentUtcTime();

// Where the install log of a real run lives; empty when it has no place.
std::string DefaultLogPath();

} // namespace setup
