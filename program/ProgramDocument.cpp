#include "program/ProgramDocument.h"

namespace tarvik {

ProgramDocument::ProgramDocument()
    : watch_(program.text().connectChanged([this] { Modified = true; })) {}

} // namespace tarvik
