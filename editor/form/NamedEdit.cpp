#include "editor/form/NamedEdit.h"

#include "base/Windows1252.h"
#include "editor/form/FieldTable.h"
#include "editor/form/IntegerText.h"

#include <cstdio>
#include <optional>
#include <variant>

namespace tarvik {
namespace {

// What an edit names: a field of the form, a barrier cell or a TR cell.
struct FieldTarget {
    int field;
};
struct RampCell {
    int row;
    int col;
};
struct TrCell {
    int row;
};
using Target = std::variant<FieldTarget, RampCell, TrCell>;

// Reads "[n]" at the start of text into n and drops it from text.
std::optional<int> TakeIndex(std::string_view& text) {
    const std::size_t close = text.find(']');
    if (!text.starts_with('[') || close == std::string_view::npos) {
        return std::nullopt;
    }
    const auto index = ParseInteger(text.substr(1, close - 1));
    text.remove_prefix(close + 1);
    return index;
}

// The target that name names; nothing when there is none.
std::optional<Target> FindTarget(std::string_view name) {
    if (name.starts_with("SGRamp[")) {
        name.remove_prefix(6);
        const auto row = TakeIndex(name);
        const auto col = TakeIndex(name);
        if (!row || !col || !name.empty() || *row < 1 || *row >= FormModel::kRampRows || *col < 0 ||
            *col >= FormModel::kRampCols) {
            return std::nullopt;
        }
        return RampCell{*row, *col};
    }
    if (name.starts_with("SGTR[")) {
        name.remove_prefix(4);
        const auto row = TakeIndex(name);
        if (!row || !name.empty() || *row < 1 || *row >= FormModel::kTrRows) {
            return std::nullopt;
        }
        return TrCell{*row};
    }
    const int field = FindField(name);
    if (field < 0 || !HoldsValue(FieldModel::definition(field).kind)) {
        return std::nullopt;
    }
    return FieldTarget{field};
}

// A text of the program as the user reads it: UTF-8 in double quotes, control characters
// written as escapes.
std::string Quoted(std::string_view text) {
    std::string shown = "\"";
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (code < 32) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", code);
            shown += escaped;
        } else {
            shown += Windows1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return shown + "\"";
}

std::string Describe(const EditChange& change) {
    using Kind = EditChange::Kind;
    switch (change.kind) {
    case Kind::KeysRefused:
        return "the field refuses " + Quoted(change.text);
    case Kind::Cut:
        return "longer than " + std::to_string(change.limit) + " characters";
    case Kind::FirstLine:
        return "only the first line is kept";
    case Kind::AboveMaximum:
        return change.text + " is above " + std::to_string(change.limit);
    case Kind::BelowMinimum:
        return change.text + " is below " + std::to_string(change.limit);
    case Kind::NotANumber:
        return Quoted(change.text) + " is not a number";
    case Kind::OneKey:
        return "a flag cell keeps one key (a letter or blank toggles it)";
    case Kind::NotStored:
        return "too short to give a program entry";
    }
    return "changed";
}

// What the form did to one edit, each change told once.
std::string Describe(const EditChanges& changes) {
    std::string text;
    for (const auto& change : changes) {
        text += (text.empty() ? "" : ", ") + Describe(change);
    }
    return text;
}

NamedEditOutcome Outcome(NamedEditOutcome::Status status, std::string message) {
    return NamedEditOutcome{status, std::move(message)};
}

NamedEditOutcome ApplyToField(FormModel& form, int field, std::string_view value) {
    using Status = NamedEditOutcome::Status;
    const FieldDef& def = FieldModel::definition(field);
    EditChanges changes;
    switch (form.userSetValue(field, value, &changes)) {
    case FormModel::EditResult::NotEditable:
        return Outcome(Status::NotApplied, "read-only for this model; not changed");
    case FormModel::EditResult::BadValue:
        if (def.kind == FieldKind::Check) {
            return Outcome(Status::NotApplied,
                           "takes 0 or 1, not " + Quoted(value) + "; not changed");
        } else {
            const int items = static_cast<int>(form.fields().state(field).items.size());
            return Outcome(Status::NotApplied, "takes an item from 0 to " +
                                                   std::to_string(items - 1) + ", not " +
                                                   Quoted(value) + "; not changed");
        }
    case FormModel::EditResult::Done:
        break;
    }
    if (changes.empty()) {
        return {};
    }
    const std::string now = form.fields().valueText(field);
    return Outcome(Status::Changed, Describe(changes) + ", set to " +
                                        (def.kind == FieldKind::Numeric ? now : Quoted(now)));
}

} // namespace

NamedEditOutcome ApplyNamedEdit(FormModel& form, std::string_view name, std::string_view utf8) {
    using Status = NamedEditOutcome::Status;
    const std::optional<Target> target = FindTarget(name);
    if (!target) {
        return Outcome(Status::UnknownName, {});
    }
    // The value is typed into the form, whose text is 8-bit.
    const Windows1252Text value = Utf8ToWindows1252(utf8);
    if (!value.ok()) {
        return Outcome(Status::NotApplied,
                       RefusedCharacterMessage(*value.refused) + "; not changed");
    }
    if (const auto* field = std::get_if<FieldTarget>(&*target)) {
        return ApplyToField(form, field->field, value.text);
    }
    EditChanges changes;
    std::string now;
    if (const auto* cell = std::get_if<RampCell>(&*target)) {
        if (!form.userEditRampCell(cell->row, cell->col, value.text, &changes)) {
            return Outcome(Status::NotApplied, "no such barrier cell; not changed");
        }
        now = form.rampGrid().cell(cell->col, cell->row);
    } else {
        const auto& tr = std::get<TrCell>(*target);
        if (!form.userEditTrCell(tr.row, value.text, &changes)) {
            return Outcome(Status::NotApplied, "no such TR row; not changed");
        }
        now = form.trGrid().cell(1, tr.row);
    }
    if (changes.empty()) {
        return {};
    }
    return Outcome(Status::Changed, Describe(changes) + ", set to " + Quoted(now));
}

} // namespace tarvik
