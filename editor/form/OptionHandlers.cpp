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
            if (def.handler == Handler::OptionValueChange && def.tag >= kFirstOptionTag &&
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

void FormModel::CBRedClick(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& box = FieldModel::Def(sender);
    if (box.kind != FieldKind::Check || box.handler != Handler::OptionClick) {
        return;
    }
    const int valueField = Field(box.partner);
    setEntry(box.keyword,
             fields_.checked(sender) ? std::to_string(readValue(valueField)) : std::string());
}

// CLP and IDCON: item 0 of the combo writes 1, item 1 writes 0.
void FormModel::switchOptionClick(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& def = FieldModel::Def(sender);
    const int box = def.kind == FieldKind::Check ? sender : Field(def.partner);
    const int combo = def.kind == FieldKind::Check ? Field(def.partner) : sender;
    setEntry(def.keyword,
             fields_.checked(box) ? std::to_string(1 - fields_.itemIndex(combo)) : std::string());
}

void FormModel::CBClpClick(int sender) {
    switchOptionClick(sender);
}

void FormModel::CBIdconClick(int sender) {
    switchOptionClick(sender);
}

void FormModel::CBNetClick(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& box = FieldModel::Def(sender);
    if (box.kind != FieldKind::Check || box.handler != Handler::TextOptionClick) {
        return;
    }
    setEntry(box.keyword,
             fields_.checked(sender) ? fields_.text(Field(box.partner)) : std::string());
}

void FormModel::EDRedChange(int sender) {
    if (decoding_) {
        return;
    }
    const int field = OptionFieldByTag(FieldModel::Def(sender).tag);
    // Values set by code (a reset, a decode) never write: only the focused field does.
    if (field < 0 || fields_.focused() != field) {
        return;
    }
    const int box = Field(FieldModel::Def(field).partner);
    if (fields_.checked(box)) {
        CBRedClick(box);
    }
}

void FormModel::EDNetChange(int sender) {
    if (decoding_) {
        return;
    }
    const FieldDef& def = FieldModel::Def(sender);
    if (def.handler != Handler::TextOptionChange || fields_.focused() != sender) {
        return;
    }
    CBNetClick(Field(def.partner));
}

void FormModel::EDV1Change(int sender) {
    const auto tag = handlerTag(sender, 0, 2);
    if (!tag) {
        return;
    }
    // The entry name is that of the pre-pay field with the sender's Tag.
    for (const FieldDef& def : FieldTable()) {
        if (def.handler == Handler::VChange && def.tag == *tag) {
            setEntry(def.keyword, fields_.text(sender));
            return;
        }
    }
}

} // namespace tarvik
