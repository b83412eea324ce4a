#pragma once

#include "simlib/include/quenlib.h"

namespace quenlib {

// The library's lifecycle: PC/SC context, then one exclusive card connection.
QLRESULT initialise();
QLRESULT finalise();
QLRESULT connectCard();
QLRESULT disconnectCard();

} // namespace quenlib
