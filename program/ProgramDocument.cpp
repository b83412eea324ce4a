#include "program/ProgramDocument.h"

namespace tarvik {

ProgramDocument::ProgramDocument() {
    program.text().addChangeListener([this] { Modified = true; });
}

} // namespace tarvik
