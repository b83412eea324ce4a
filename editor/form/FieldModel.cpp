#include "editor/form/FieldModel.h"

#include "editor/form/FieldTable.h"
#include "editor/form/IntegerText.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarvik {

int ClampToRange(const FieldDef& def, int value) {
    if (def.minValue == def.maxValue) {
        return value;
    }
    return std::clamp(value, def.minValue, def.maxValue);
}

FieldModel::FieldModel() : states_(FieldTable().size()) {
    for (int f = 0; f < size(); ++f) {
        states_[f].items = definition(f).items;
        if (definition(f).kind == FieldKind::Numeric) {
            states_[f].text = std::to_string(ClampToRange(definition(f), definition(f).errValue));
        }
    }
}

const FieldDef& FieldModel::definition(int field) {
    const auto table = FieldTable();
    // Checked like the states: a bad index must not read past the table.
    if (field < 0 || static_cast<std::size_t>(field) >= table.size()) {
        throw std::out_of_range("no field with index " + std::to_string(field));
    }
    return table[static_cast<std::size_t>(field)];
}

void FieldModel::setText(int field, std::string text) {
    FieldState& s = states_.at(field);
    if (s.text == text) {
        return;
    }
    s.text = std::move(text);
    notify(field);
    fireChange(field);
}

int FieldModel::value(int field) const {
    const FieldDef& def = definition(field);
    return ClampToRange(def, ParseInteger(text(field)).value_or(def.errValue));
}

bool FieldModel::badNumber(int field) const {
    const std::string& t = text(field);
    return !t.empty() && !ParseInteger(t);
}

void FieldModel::setValue(int field, int value) {
    setText(field, std::to_string(ClampToRange(definition(field), value)));
}

void FieldModel::setChecked(int field, bool checked) {
    FieldState& s = states_.at(field);
    if (s.checked == checked) {
        return;
    }
    s.checked = checked;
    notify(field);
    fireChange(field);
}

void FieldModel::setItemIndex(int field, int index) {
    FieldState& s = states_.at(field);
    if (index < -1 || index >= static_cast<int>(s.items.size())) {
        index = -1;
    }
    if (s.itemIndex == index) {
        return;
    }
    s.itemIndex = index;
    notify(field);
}

void FieldModel::choose(int field, int index) {
    FieldState& s = states_.at(field);
    if (index < 0 || index >= static_cast<int>(s.items.size())) {
        return; // a drop-down list offers only its items
    }
    setItemIndex(field, index);
    fireChange(field);
}

void FieldModel::setItemText(int field, int item, std::string text) {
    FieldState& s = states_.at(field);
    if (item < 0 || item >= static_cast<int>(s.items.size()) || s.items[item] == text) {
        return;
    }
    s.items[item] = std::move(text);
    notify(field);
}

std::string FieldModel::valueText(int field) const {
    switch (definition(field).kind) {
    case FieldKind::Text:
        return text(field);
    case FieldKind::Numeric:
        return std::to_string(value(field));
    case FieldKind::Check:
        return checked(field) ? "1" : "0";
    case FieldKind::Combo:
        return std::to_string(itemIndex(field));
    case FieldKind::Memo:
    case FieldKind::Grid:
        break;
    }
    return {};
}

void FieldModel::reset(int field) {
    const FieldDef& def = definition(field);
    switch (def.kind) {
    case FieldKind::Numeric:
        setValue(field, def.errValue);
        break;
    case FieldKind::Text:
        setText(field, {});
        break;
    case FieldKind::Check:
        setChecked(field, false);
        break;
    case FieldKind::Combo:
        setItemIndex(field, 0);
        break;
    case FieldKind::Memo:
    case FieldKind::Grid:
        break;
    }
}

void FieldModel::setAllowed(int field, bool allowed) {
    FieldState& s = states_.at(field);
    const FieldKind kind = definition(field).kind;
    const bool textLike = kind == FieldKind::Text || kind == FieldKind::Numeric;
    const bool boxLike = kind == FieldKind::Check || kind == FieldKind::Combo;
    if (!textLike && !boxLike) {
        return;
    }
    if (textLike) {
        s.readOnly = !allowed;
    } else {
        s.enabled = allowed;
    }
    // Check boxes keep the colours of their caption; the others turn grey.
    s.grey = kind != FieldKind::Check && !allowed;
    notify(field);
}

bool FieldModel::editable(int field) const {
    const FieldState& s = states_.at(field);
    switch (definition(field).kind) {
    case FieldKind::Numeric:
    case FieldKind::Text:
        return !s.readOnly;
    case FieldKind::Check:
    case FieldKind::Combo:
        return s.enabled;
    case FieldKind::Memo:
    case FieldKind::Grid:
        return true;
    }
    return false;
}

void FieldModel::fireChange(int field) {
    if (changeHandler_) {
        changeHandler_(field);
    }
}

void FieldModel::notify(int field) {
    changed_.notify(field);
}

} // namespace tarvik
