#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/SimCliSupport.h"

namespace tarvik::cli {

inline constexpr ArgOption readersOption{"--readers", ArgValue::Name, "LIST",
                                         "with --each-card: all readers at once, or NAME,NAME...",
                                         ReaderCandidates};

// write-sim --each-card --readers: programs cards one after another on every reader given,
// all at once, into one job log.
int RunEachCardOnReaders(const SimArgs& sim, const ParsedArgs& args, CliIo& io);

} // namespace tarvik::cli
