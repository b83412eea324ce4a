#include "program/ProgramDocument.h"

namespace tarvik {

ProgramDocument::ProgramDocument(int modelIndex)
    : modelIndex(modelIndex), watch_(program.text().connectChanged([this] { Modified = true; })) {}

} // namespace tarvik
