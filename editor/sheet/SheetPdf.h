#pragma once

#include <string>

namespace tarvik {

struct ConfigSheet;

// Writes sheet as a PDF on A4 at path. Needs no display: without a running Qt application it
// starts one on the offscreen platform for the time it takes. False, with the reason in
// error, when the file cannot be written.
bool WriteSheetPdf(const ConfigSheet& sheet, const std::string& path, std::string& error);

} // namespace tarvik
