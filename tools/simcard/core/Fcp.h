#pragma once

#include "tools/simcard/core/Bytes.h"
#include "tools/simcard/core/CardImage.h"

#include <cstdint>

namespace simcard {

// Which PINs a directory's PIN status template reports as enabled.
struct PinState {
    bool pin1Enabled = true;
    bool pin2Enabled = true;
};

// The file control parameters a UICC returns for a SELECT (ETSI TS 102 221 §11.1.1.3): a
// template 62 with the file descriptor (82), file identifier (83), life cycle status (8A),
// security attributes referenced to the EF ARR 2F06 (8B), and for an EF its size (80) and
// an empty SFI (88: none); for a DF its name (84, ADF only) and its PIN status template
// (C6). `pinProtected` picks the access rule: PIN1 for reading and updating, or reading
// always and updating never.
Bytes ElementaryFileFcp(std::uint16_t id, const ElementaryFile& file, bool pinProtected);
Bytes DirectoryFcp(std::uint16_t id, const Bytes& name, PinState pins);

} // namespace simcard
