#pragma once

#include "base/Utf8.h"
#include "editor/sim/CardRecords.h"
#include "editor/sim/RecordPlan.h"

#include <ostream>

namespace tarvik {

// Records as "NAME=NUMBER" in test failures.
inline void PrintTo(const SimItem& item, std::ostream* out) {
    *out << '"' << Utf16ToUtf8(item.name) << '=' << Utf16ToUtf8(item.number) << '"';
}

inline void PrintTo(const PlannedWrite& write, std::ostream* out) {
    *out << write.index << ':';
    PrintTo(write.item, out);
}

} // namespace tarvik
