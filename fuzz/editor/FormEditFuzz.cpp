// The form on any program text, for each model, then any edits a user can make. Whatever
// the text and the edits:
// - nothing throws, and every program line stays one line (no line break inside);
// - the remote-programming text is the one the program text gives;
// - decoding writes nothing, and the text decoded again, in this form or in a fresh one,
//   shows the same form: no edit leaves state that the text does not hold once decoded.
//   The one exception is by design: decoding empties only the barrier rows that have a
//   number, so output cells typed into a row without one stay until the row gets a number;
//   such cells are left out of the comparison with a fresh window.
//
// Input: one byte for the model, the program text up to the first NUL, then edits of
// [field or row: 2 bytes][action: 1 byte][length: 1 byte][that many bytes].
#include "base/TextLines.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/editor/FormSnapshot.h"
#include "fuzz/editor/ReusedForm.h"
#include "program/LanguageTable.h"
#include "program/SimProgram.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace tarvik;

class Input {
public:
    explicit Input(std::string_view bytes) : bytes_(bytes) {}
    bool empty() const { return bytes_.empty(); }
    std::uint8_t byte() {
        if (bytes_.empty()) {
            return 0;
        }
        const auto b = static_cast<std::uint8_t>(bytes_.front());
        bytes_.remove_prefix(1);
        return b;
    }
    std::string_view take(std::size_t count) {
        const std::string_view taken = bytes_.substr(0, count);
        bytes_.remove_prefix(taken.size());
        return taken;
    }
    std::string_view upTo(char end) {
        const std::size_t at = bytes_.find(end);
        const std::string_view taken = bytes_.substr(0, at);
        bytes_.remove_prefix(at == std::string_view::npos ? bytes_.size() : at + 1);
        return taken;
    }

private:
    std::string_view bytes_;
};

// One edit as a user makes it; whether the form takes it does not matter here. The two
// first bytes choose the field (or the grid row), the action byte what is done (and the
// grid column), the payload what is typed (its first byte as a number where one is needed).
void Edit(FormModel& form, Input& input) {
    const int raw = input.byte() << 8 | input.byte();
    const int field = raw % form.fields().size();
    const std::uint8_t action = input.byte();
    const std::string_view payload = input.take(input.byte());
    const int number = payload.empty() ? 0 : static_cast<std::int8_t>(payload.front());
    switch (action % 9) {
    case 0: // typing, through the field's key filter ("\b" deletes)
        form.userEditText(field, payload);
        break;
    case 1:
        form.userStepValue(field, number);
        break;
    case 2:
        form.userSetChecked(field, (number & 1) != 0);
        break;
    case 3:
        form.userChoose(field, number);
        break;
    case 4: // typing in the program memo, then leaving it for the field
        form.userEditMemoSim(payload);
        form.focusField(field);
        break;
    case 5:
        form.userEditRampCell(raw % FormModel::kRampRows, action / 9 % 8, payload);
        break;
    case 6:
        form.userEditTrCell(raw % FormModel::kTrRows, payload);
        break;
    case 7:
        form.chooseDeviceMenuItem(number);
        break;
    default:
        form.focusField(field);
        break;
    }
}

// Empties the output cells of the barrier rows without a number: they belong to no entry,
// and decoding keeps what a user typed into them.
void ForgetUnnumberedBarrierRows(FormModel& form) {
    StringGrid& ramp = form.rampGrid();
    for (int row = 1; row < ramp.rowCount(); ++row) {
        if (ramp.cell(0, row).empty()) {
            for (int col = 1; col < ramp.colCount(); ++col) {
                ramp.setCell(col, row, {});
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Check;
    Input input(std::string_view(reinterpret_cast<const char*>(data), size));
    const int model = input.byte() % 3;
    fuzz::ReusedForm& window = fuzz::ReusedForm::Of(model);
    FormModel& form = window.reset();
    ProgramDocument& doc = window.doc();
    doc.program.text().setText(input.upTo('\0'));
    form.decodeProgram();
    for (int edits = 0; !input.empty() && edits < 64; ++edits) {
        Edit(form, input);
    }
    form.focusField(-1); // leaving the memo decodes what was typed there

    const std::vector<std::string> lines = doc.program.text().lines();
    for (const std::string& line : lines) {
        Check(line.find_first_of("\r\n") == std::string::npos, "a program line holds no break");
    }
    Check(doc.program.remoteText() == BuildRemoteText(lines),
          "the remote text is the one the program gives");

    form.decodeProgram();
    const fuzz::FormSnapshot decoded(form);
    Check(doc.program.text().lines() == lines, "decoding writes nothing");
    form.decodeProgram();
    Check(fuzz::FormSnapshot(form) == decoded, "decoding twice shows the same form");

    FormModel& freshForm = fuzz::ReusedForm::Of(form.deviceIndex(), 1).reset(lines);
    ForgetUnnumberedBarrierRows(form);
    ForgetUnnumberedBarrierRows(freshForm);
    Check(fuzz::FormSnapshot(freshForm) == fuzz::FormSnapshot(form),
          "the text shows the same form in a fresh window");
    return 0;
}
