#pragma once

#include "editor/sim/CardReport.h"

#include <iosfwd>

namespace tarvik::cli {

// Writes the report as "card --json" prints it: one object with the reader, the ATR, the
// kind, the ICCID, the phonebook (place, file ids, geometry), the PIN (its state, or
// "unreadable"), whether EF SMS and EF MSISDN exist, and whether a second phonebook was left
// alone; then an empty line.
void WriteCardJson(const CardReport& report, std::ostream& out);

} // namespace tarvik::cli
