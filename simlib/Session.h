#pragma once

#include "simlib/include/quenlib.h"

#include <string>

namespace quenlib {

// The library's lifecycle: PC/SC context, then one exclusive card connection, on the
// calling thread's session. `readerName` is the reader to connect to ("*": the first
// holding a card).
QLRESULT initialise(std::string readerName);
QLRESULT finalise();
QLRESULT connectCard();
QLRESULT disconnectCard();

} // namespace quenlib
