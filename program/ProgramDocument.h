#pragma once

#include "program/SimProgram.h"

#include <string>
#include <vector>

namespace tarvik {

// The state of one open program: the SIM program, the notes, the device model, the file it
// belongs to and whether it has unsaved changes. Every change of the program text sets
// modified; changes of the notes alone do not.
//
// The document watches its own program text, so it can be neither copied nor moved.
struct ProgramDocument {
    // A document with nothing in it, for the given device model. Open lowers the model to a
    // file's model but never raises it, so this is also the highest model a file may keep.
    explicit ProgramDocument(int modelIndex);
    ProgramDocument(const ProgramDocument&) = delete;
    ProgramDocument& operator=(const ProgramDocument&) = delete;

    SimProgram program;
    std::vector<std::string> notes;
    // Selected device model, 0..2.
    int modelIndex;
    std::string fileName;
    bool modified = false;

private:
    Connection watch_;
};

} // namespace tarvik
