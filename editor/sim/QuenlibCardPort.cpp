#include "editor/sim/QuenlibCardPort.h"

#include "editor/sim/LibraryCard.h"

namespace tarvik {

QuenlibCardPort::QuenlibCardPort() : LibraryCardPort(DefaultLibraryCard()) {}

} // namespace tarvik
