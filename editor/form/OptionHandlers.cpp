// Handlers of the "Options" page: a check box owns its keyword's entry and writes the
// value of the field beside it.
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

#include <array>

namespace tarvik {
namespace {

constexpr int kFirstOptionTag = 10;
constexpr int kLastOptionTag = 24;

// The numeric option fields by their Tag 10..24.
int OptionFieldByTag(int tag) {
    static const auto fields = [] {
        std::array<int, kLastOptionTag - kFirstOptionTag + 1> byTag{};
        byTag.fill(-1);
        const auto table = FieldTable();
        for (std::size_t f = 0; f < table.size(); ++f) {
            const FieldDef& def = table[f];
            if (def.onChange == &FormModel::optionValueChanged && def.tag >= kFirstOptionTag &&
                def.tag <= kLastOptionTag) {
                byTag[def.tag - kFirstOptionTag] = static_cast<int>(f);
            }
        }
        return byTag;
    }();
    if (tag < kFirstOptionTag || tag > kLastOptionTag) {
        return -1;
    }
    return fields[tag - kFirstOptionTag];
}

} // namespace

void FormModel::optionSwitched(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& box = FieldModel::definition(sender);
    if (box.kind != FieldKind::Check || box.onChange != &FormModel::optionSwitched) {
        return;
    }
    const int valueField = fieldIndex(box.partner);
    setEntry(box.keyword,
             fields_.checked(sender) ? std::to_string(readValue(valueField)) : std::string());
}

// CLP and IDCON: item 0 of the combo writes 1, item 1 writes 0.
void FormModel::switchOptionClick(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& def = FieldModel::definition(sender);
    const int box = def.kind == FieldKind::Check ? sender : fieldIndex(def.partner);
    const int combo = def.kind == FieldKind::Check ? fieldIndex(def.partner) : sender;
    setEntry(def.keyword,
             fields_.checked(box) ? std::to_string(1 - fields_.itemIndex(combo)) : std::string());
}

void FormModel::hiddenNumberSwitched(int sender) {
    switchOptionClick(sender);
}

void FormModel::contactIdSwitched(int sender) {
    switchOptionClick(sender);
}

void FormModel::textOptionSwitched(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& box = FieldModel::definition(sender);
    if (box.kind != FieldKind::Check || box.onChange != &FormModel::textOptionSwitched) {
        return;
    }
    setEntry(box.keyword,
             fields_.checked(sender) ? fields_.text(fieldIndex(box.partner)) : std::string());
}

void FormModel::optionValueChanged(int sender) {
    if (decoding_) {
        return;
    }
    const int field = OptionFieldByTag(FieldModel::definition(sender).tag);
    // Values set by code (a reset, a decode) never write: only the focused field does.
    if (field < 0 || fields_.focused() != field) {
        return;
    }
    const int box = fieldIndex(FieldModel::definition(field).partner);
    if (fields_.checked(box)) {
        optionSwitched(box);
    }
}

void FormModel::textOptionChanged(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& def = FieldModel::definition(sender);
    if (def.onChange != &FormModel::textOptionChanged || fields_.focused() != sender) {
        return;
    }
    textOptionSwitched(fieldIndex(def.partner));
}

void FormModel::prepayChanged(int sender) {
    const auto tag = handlerTag(sender, 0, 2);
    if (!tag) {
        return;
    }
    // The entry name is that of the pre-pay field with the sender's Tag.
    for (const FieldDef& def : FieldTable()) {
        if (def.onChange == &FormModel::prepayChanged && def.tag == *tag) {
            setEntry(def.keyword, fields_.text(sender));
            return;
        }
    }
}

} // namespace tarvik
