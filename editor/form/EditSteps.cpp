#include "editor/form/EditSteps.h"

#include "editor/form/FormModel.h"

namespace tarvik {

ProgramState CurrentState(const ProgramDocument& doc) {
    return {doc.program.text().lines(), doc.modelIndex};
}

void RestoreState(FormModel& form, const ProgramState& state) {
    ProgramDocument& doc = form.document();
    if (form.deviceIndex() != state.modelIndex || doc.modelIndex != state.modelIndex) {
        form.chooseDeviceMenuItem(state.modelIndex);
    }
    doc.program.text().assign(state.lines);
    form.decodeProgram();
    doc.program.buildRemoteText();
}

bool TypingInProgress(const FormModel& form) {
    const int field = form.fields().focused();
    if (field < 0) {
        return false;
    }
    if (field == FormModel::fieldIndex("MemoSim")) {
        return true;
    }
    const FieldKind kind = FieldModel::definition(field).kind;
    return kind == FieldKind::Text || kind == FieldKind::Numeric;
}

std::string_view StepName(const ProgramState& before, const ProgramState& after, int editedField) {
    if (before.modelIndex != after.modelIndex) {
        return kModelStep;
    }
    if (editedField >= 0 && editedField == FormModel::fieldIndex("MemoSim")) {
        return kTypingStep;
    }
    return kFieldStep;
}

} // namespace tarvik
