#pragma once

#include "editor/form/FormModel.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/editor/FormSnapshot.h"
#include "program/LanguageTable.h"
#include "program/ProgramDocument.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tarvik::fuzz {

// A document with its form that lives for the whole run and is reset for each input: a form
// is costly to build (its grids alone hold three thousand cells), and an input should pay
// for what it does to the form, not for making one.
class ReusedForm {
public:
    explicit ReusedForm(int model)
        : model_(model), doc_(model), form_(doc_, language_), new_(form_) {}
    ReusedForm(const ReusedForm&) = delete;
    ReusedForm& operator=(const ReusedForm&) = delete;

    // The one of each model, made on first use.
    static ReusedForm& Of(int model, int copy = 0) {
        static std::array<std::array<std::unique_ptr<ReusedForm>, 2>, 3> forms;
        auto& form = forms.at(static_cast<std::size_t>(model)).at(static_cast<std::size_t>(copy));
        if (!form) {
            form = std::make_unique<ReusedForm>(model);
        }
        return *form;
    }

    // The document and the form as new ones for this model are, then with lines as the
    // program, as a form made over a document that already held them is.
    FormModel& reset(const std::vector<std::string>& lines = {}) {
        form_.focusField(-1);
        doc_.program.text().assign({});
        doc_.notes.clear();
        doc_.fileName.clear();
        StringGrid& ramp = form_.rampGrid();
        for (int row = 1; row < ramp.rowCount(); ++row) {
            for (int col = 0; col < ramp.colCount(); ++col) {
                if (!ramp.cell(col, row).empty()) {
                    ramp.setCell(col, row, {});
                }
            }
        }
        form_.fields().setItemIndex(FormModel::fieldIndex("CBDevice"), model_);
        form_.applyDeviceModel();
        form_.leaveProgramMemo(); // clears the memo's modified mark, as a new form has it
        // Whether the reset gives a new form, checked now and then: a state it failed to
        // reset would show at once, and a check for every input would cost a third of it.
        if (resets_++ % 16 == 0) {
            Check(FormSnapshot(form_) == new_, "a reset form is a new one");
        }
        if (!lines.empty()) {
            doc_.program.text().assign(lines);
            form_.leaveProgramMemo();
        }
        doc_.modified = false;
        return form_;
    }

    ProgramDocument& doc() { return doc_; }
    FormModel& form() { return form_; }
    const LanguageTable& language() const { return language_; }

private:
    int model_;
    LanguageTable language_;
    ProgramDocument doc_;
    FormModel form_;
    FormSnapshot new_;
    unsigned resets_ = 0;
};

} // namespace tarvik::fuzz
