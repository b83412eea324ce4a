#include "editor/form/FormModel.h"

#include "base/TextLines.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/IntegerText.h"
#include "editor/form/TelephoneNumbers.h"

#include <stdexcept>

namespace tarvik {

FormModel::FormModel(ProgramDocument& doc, const LanguageTable& language)
    : doc_(doc), language_(language) {
    fields_.setChangeHandler([this](int field) { onFieldChange(field); });
    // The memo marks itself modified on every change of its text, whatever the source.
    memoWatch_ = doc_.program.text().connectChanged([this] { memoMark_ = true; });

    initGrids();
    fields_.setItemIndex(fieldIndex("CBDevice"), doc_.modelIndex);
    applyDeviceModel();
}

int FormModel::fieldIndex(std::string_view name) {
    const int field = FindField(name);
    if (field < 0) {
        throw std::logic_error("no field named " + std::string(name));
    }
    return field;
}

int FormModel::rowField(std::string_view prefix, int row) const {
    return fieldIndex(std::string(prefix) + std::to_string(row));
}

std::optional<int> FormModel::handlerTag(int sender, int first, int last) const {
    if (decoding_) {
        return std::nullopt;
    }
    const int tag = FieldModel::definition(sender).tag;
    if (tag < first || tag > last) {
        return std::nullopt;
    }
    return tag;
}

void FormModel::setEntry(std::string_view name, std::string_view number) {
    doc_.program.setProgramEntry(name, number);
}

void FormModel::onFieldChange(int field) {
    if (const ChangeHandler handler = FieldModel::definition(field).onChange) {
        (this->*handler)(field);
    }
}

// ---- Program memo and file commands ---------------------------------------------------

void FormModel::leaveProgramMemo() {
    if (!memoMark_) {
        return;
    }
    decodeProgram();
    memoMark_ = false;
}

DocumentHooks FormModel::documentHooks() {
    DocumentHooks hooks;
    hooks.applyModel = [this](ProgramDocument& doc) {
        fields_.setItemIndex(fieldIndex("CBDevice"), doc.modelIndex);
        applyDeviceModel();
    };
    hooks.decode = [this](ProgramDocument&) { decodeProgram(); };
    return hooks;
}

// ---- Key filters ------------------------------------------------------------------------

char FormModel::telephoneKey(char key, std::size_t position) {
    if (!TelephoneKeyAllowed(key, position)) {
        beep();
        return '\0';
    }
    return key;
}

char FormModel::linkKey(char key) {
    const auto code = static_cast<unsigned char>(key);
    if (key == '-') {
        return deviceIndex() == 0 ? '\0' : key; // the first model has no ranges of numbers
    }
    if (code < 32 || (key >= '0' && key <= '9')) {
        return key;
    }
    beep();
    return '\0';
}

char FormModel::numericKey(char key) {
    const auto code = static_cast<unsigned char>(key);
    if ((code < 32 && key != '\r') || key == '-' || (key >= '0' && key <= '9')) {
        return key;
    }
    return '\0';
}

char FormModel::smsTextKey(char key) {
    if (key == '=') {
        beep();
        return '\0';
    }
    return key;
}

char FormModel::filterKey(int field, char key, std::size_t position) {
    switch (FieldModel::definition(field).keyFilter) {
    case KeyFilter::None:
        return key;
    case KeyFilter::Number:
        return numericKey(key);
    case KeyFilter::Telephone:
        return telephoneKey(key, position);
    case KeyFilter::Link:
        return linkKey(key);
    case KeyFilter::SmsText:
        return smsTextKey(key);
    }
    return key;
}

// ---- User actions -----------------------------------------------------------------------

void FormModel::focusField(int field) {
    const int memo = fieldIndex("MemoSim");
    const bool leavingMemo = fields_.focused() == memo && field != memo;
    fields_.setFocus(field);
    if (leavingMemo) {
        leaveProgramMemo();
    }
}

bool FormModel::userEditText(int field, std::string_view typed, EditChanges* changes) {
    const FieldDef& def = FieldModel::definition(field);
    if ((def.kind != FieldKind::Text && def.kind != FieldKind::Numeric) ||
        !fields_.editable(field)) {
        return false;
    }
    focusField(field);
    std::string text;
    std::string refused;
    bool cut = false;
    for (const char c : typed) {
        const char key = filterKey(field, c, text.size());
        if (key == '\b') {
            if (!text.empty()) {
                text.pop_back();
            }
        } else if (static_cast<unsigned char>(key) < 32) {
            refused.push_back(c);
        } else if (def.maxLength == 0 || static_cast<int>(text.size()) < def.maxLength) {
            text.push_back(key);
        } else {
            cut = true;
        }
    }
    commitTypedText(field, std::move(text));
    if (changes != nullptr) {
        if (!refused.empty()) {
            changes->push_back({EditChange::Kind::KeysRefused, refused});
        }
        if (cut) {
            changes->push_back({EditChange::Kind::Cut, {}, def.maxLength});
        }
        noteNumberRead(field, *changes);
    }
    return true;
}

void FormModel::noteNumberRead(int field, EditChanges& changes) const {
    const FieldDef& def = FieldModel::definition(field);
    if (def.kind != FieldKind::Numeric) {
        return;
    }
    const std::string& text = fields_.text(field);
    const auto number = ParseInteger(text);
    if (!number) {
        changes.push_back({EditChange::Kind::NotANumber, text});
    } else if (def.minValue != def.maxValue && *number > def.maxValue) {
        changes.push_back({EditChange::Kind::AboveMaximum, text, def.maxValue});
    } else if (def.minValue != def.maxValue && *number < def.minValue) {
        changes.push_back({EditChange::Kind::BelowMinimum, text, def.minValue});
    }
}

void FormModel::commitTypedText(int field, std::string text) {
    // A one-line field holds no line break, which would split the program line its entry
    // goes to; like the desktop's edit controls, it keeps the first line of a pasted text.
    text.resize(FirstLine(text).size());
    // One byte is one character of the 8-bit text, so this cuts at a character.
    const int maxLength = FieldModel::definition(field).maxLength;
    if (maxLength > 0 && static_cast<int>(text.size()) > maxLength) {
        text.resize(static_cast<std::size_t>(maxLength));
    }
    fields_.setText(field, std::move(text));
}

int FormModel::readValue(int field) {
    if (fields_.badNumber(field)) {
        beep();
    }
    return fields_.value(field);
}

bool FormModel::userStepValue(int field, int delta) {
    if (FieldModel::definition(field).kind != FieldKind::Numeric || !fields_.editable(field)) {
        return false;
    }
    focusField(field);
    fields_.setValue(field, readValue(field) + delta);
    return true;
}

bool FormModel::userSetChecked(int field, bool checked) {
    if (FieldModel::definition(field).kind != FieldKind::Check || !fields_.editable(field)) {
        return false;
    }
    focusField(field);
    fields_.setChecked(field, checked);
    return true;
}

bool FormModel::userChoose(int field, int item) {
    if (FieldModel::definition(field).kind != FieldKind::Combo || !fields_.editable(field) ||
        item < 0 || item >= static_cast<int>(fields_.state(field).items.size())) {
        return false;
    }
    focusField(field);
    fields_.choose(field, item);
    return true;
}

bool FormModel::userEditRampCell(int row, int col, std::string_view typed, EditChanges* changes) {
    if (row < 1 || row >= kRampRows || col < 0 || col >= kRampCols) {
        return false;
    }
    focusField(-1);
    if (col == 0) {
        setRampCellText(col, row, std::string(typed));
        const std::string& number = ramp_.cell(col, row);
        if (changes != nullptr && number.size() < typed.size()) {
            changes->push_back({EditChange::Kind::FirstLine, {}});
        }
        if (changes != nullptr && !number.empty() && !storesBarrierNumber(number)) {
            changes->push_back({EditChange::Kind::NotStored, number});
        }
        return true;
    }
    if (typed.empty()) {
        setRampCellText(col, row, {});
    }
    for (const char c : typed) {
        const char key = rampKey(col, row, c);
        const auto code = static_cast<unsigned char>(key);
        setRampCellText(col, row, code >= 32 ? std::string(1, key) : std::string());
    }
    if (changes != nullptr && ramp_.cell(col, row) != typed) {
        changes->push_back({EditChange::Kind::OneKey, std::string(typed)});
    }
    return true;
}

bool FormModel::userEditTrCell(int row, std::string_view typed, EditChanges* changes) {
    if (row < 1 || row >= kTrRows) {
        return false;
    }
    focusField(-1);
    setTrCellText(1, row, std::string(typed));
    if (changes != nullptr && tr_.cell(1, row).size() < typed.size()) {
        changes->push_back({EditChange::Kind::FirstLine, {}});
    }
    return true;
}

FormModel::EditResult FormModel::userSetValue(int field, std::string_view value,
                                              EditChanges* changes) {
    const FieldDef& def = FieldModel::definition(field);
    if (!HoldsValue(def.kind)) {
        return EditResult::BadValue;
    }
    if (!fields_.editable(field)) {
        return EditResult::NotEditable;
    }
    switch (def.kind) {
    case FieldKind::Text:
    case FieldKind::Numeric:
        userEditText(field, value, changes);
        return EditResult::Done;
    case FieldKind::Check:
        if (value != "0" && value != "1") {
            return EditResult::BadValue;
        }
        userSetChecked(field, value == "1");
        return EditResult::Done;
    case FieldKind::Combo: {
        const auto item = ParseInteger(value);
        if (!item || !userChoose(field, *item)) {
            return EditResult::BadValue;
        }
        return EditResult::Done;
    }
    case FieldKind::Memo:
    case FieldKind::Grid:
        break;
    }
    return EditResult::BadValue;
}

void FormModel::userEditMemoSim(std::string_view text) {
    focusField(fieldIndex("MemoSim"));
    doc_.program.text().setText(text);
}

void FormModel::userEditNotes(std::vector<std::string> notes) {
    focusField(fieldIndex("MemoNote"));
    doc_.notes = std::move(notes);
    leaveProgramMemo();
}

} // namespace tarvik
