#pragma once

#include "program/ProgramDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class FormModel;

// What one step of the edit history takes back or brings again: the program text, which is
// the master copy, and the device model, which a program file keeps with it.
struct ProgramState {
    std::vector<std::string> lines;
    int modelIndex = 0;
    bool operator==(const ProgramState&) const = default;
};

ProgramState CurrentState(const ProgramDocument& doc);

// Puts state back: the model first (applied to the form), then the text, from which the
// form, the grids and the remote text are rebuilt as after an Open.
void RestoreState(FormModel& form, const ProgramState& state);

// Whether the change in progress is still being typed: the keyboard focus is in the
// program memo or in an edit box. Its keys become one step when the focus leaves.
bool TypingInProgress(const FormModel& form);

// The untranslated names of the steps, as Edit > Undo and Redo show them.
inline constexpr std::string_view kFieldStep = "field change";
inline constexpr std::string_view kTypingStep = "typing in the program";
inline constexpr std::string_view kModelStep = "model change";
inline constexpr std::string_view kNewStep = "new program";
inline constexpr std::string_view kReadStep = "Read SIM";

// The name of a step from before to after, whose first change came while editedField had
// the focus (-1 for none): a model change, typing in the program memo, or a field change.
std::string_view StepName(const ProgramState& before, const ProgramState& after, int editedField);

} // namespace tarvik
