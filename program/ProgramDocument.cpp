#include "program/ProgramDocument.h"

namespace tarvik {

ProgramDocument::ProgramDocument(int modelIndex)
    : modelIndex(modelIndex), watch_(program.text().connectChanged([this] { modified = true; })) {}

} // namespace tarvik
