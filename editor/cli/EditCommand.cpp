#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"
#include "program/ProgramDocument.h"

#include <array>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

namespace tarvik::cli {
namespace {

constexpr std::array kOptions{
    CliOption{"--model", CliValue::Model, "0|1|2", "apply this device model before the edits"},
    CliOption{"--strict", CliValue::None, "",
              "save nothing when the form changes or refuses any edit"},
};

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
    if (field < 0 || !HoldsValue(FieldModel::Def(field).kind)) {
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

// Applies edits one by one as a user makes them and tells on err each one that the form did
// not take as given.
class EditSession {
public:
    EditSession(FormModel& form, std::ostream& err) : form_(form), err_(err) {}

    // Applies one edit; false when the command line is wrong (no "=", no such field or
    // cell), after writing why.
    bool apply(std::string_view edit);
    // Whether any edit was changed or refused.
    bool changedAny() const { return changedAny_; }

private:
    void report(std::string_view name, const std::string& what);
    void applyToField(std::string_view name, int field, std::string_view value);

    FormModel& form_;
    std::ostream& err_;
    bool changedAny_ = false;
};

void EditSession::report(std::string_view name, const std::string& what) {
    err_ << "tarvik-cli: " << name << ": " << what << '\n';
    changedAny_ = true;
}

bool EditSession::apply(std::string_view edit) {
    const std::size_t equals = edit.find('=');
    if (equals == std::string_view::npos) {
        err_ << "tarvik-cli: edit: an edit is NAME=VALUE, not '" << edit << "'\n";
        return false;
    }
    const std::string_view name = edit.substr(0, equals);
    const std::optional<Target> target = FindTarget(name);
    if (!target) {
        err_ << "tarvik-cli: edit: no field or cell '" << name << "' (see 'tarvik-cli fields')\n";
        return false;
    }
    // The value is typed into the form, whose text is 8-bit.
    const Windows1252Text value = Utf8ToWindows1252(edit.substr(equals + 1));
    if (!value.ok()) {
        report(name, RefusedCharacterMessage(*value.refused) + "; not changed");
        return true;
    }
    if (const auto* field = std::get_if<FieldTarget>(&*target)) {
        applyToField(name, field->field, value.text);
        return true;
    }
    EditChanges changes;
    std::string now;
    if (const auto* cell = std::get_if<RampCell>(&*target)) {
        if (!form_.userEditRampCell(cell->row, cell->col, value.text, &changes)) {
            report(name, "no such barrier cell; not changed");
            return true;
        }
        now = form_.SGRamp().cell(cell->col, cell->row);
    } else {
        const auto& tr = std::get<TrCell>(*target);
        if (!form_.userEditTrCell(tr.row, value.text, &changes)) {
            report(name, "no such TR row; not changed");
            return true;
        }
        now = form_.SGTR().cell(1, tr.row);
    }
    if (!changes.empty()) {
        report(name, Describe(changes) + ", set to " + Quoted(now));
    }
    return true;
}

void EditSession::applyToField(std::string_view name, int field, std::string_view value) {
    const FieldDef& def = FieldModel::Def(field);
    EditChanges changes;
    switch (form_.userSetValue(field, value, &changes)) {
    case FormModel::EditResult::NotEditable:
        report(name, "read-only for this model; not changed");
        return;
    case FormModel::EditResult::BadValue:
        if (def.kind == FieldKind::Check) {
            report(name, "takes 0 or 1, not " + Quoted(value) + "; not changed");
        } else {
            const int items = static_cast<int>(form_.fields().state(field).items.size());
            report(name, "takes an item from 0 to " + std::to_string(items - 1) + ", not " +
                             Quoted(value) + "; not changed");
        }
        return;
    case FormModel::EditResult::Done:
        break;
    }
    if (changes.empty()) {
        return;
    }
    const std::string now = form_.fields().valueText(field);
    report(name,
           Describe(changes) + ", set to " + (def.kind == FieldKind::Numeric ? now : Quoted(now)));
}

// Applies the edits in order as a user would, and saves what the form took; with --strict,
// nothing unless it took every edit as given.
int RunEdit(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const std::string path(args.operands[0]);
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, path, GivenModel(args), io)) {
        return kExitUsage;
    }
    EditSession session(form, io.err);
    for (std::size_t i = 1; i < args.operands.size(); ++i) {
        if (!session.apply(args.operands[i])) {
            return kExitUsage;
        }
    }
    if (session.changedAny() && args.has("--strict")) {
        io.err << "tarvik-cli: edit: --strict: nothing saved\n";
        return kExitEditsChanged;
    }
    form.focusField(-1); // leaving the last field, as closing the window would
    const int saved = SaveOrReport(doc, path, io);
    return saved == kExitOk && session.changedAny() ? kExitEditsChanged : saved;
}

} // namespace

const CliCommand kEditCommand{
    .name = "edit",
    .arguments = "[--model 0|1|2] [--strict] FILE.sim EDIT...",
    .summary = "edit the form as a user would, and save",
    .description =
        "Applies each EDIT in order as a user makes it in the window, and saves the file.\n"
        "An EDIT is NAME=VALUE for a field (the names and values that 'fields' prints:\n"
        "text typed, 0 or 1 for a check box, an item index for a list),\n"
        "SGRamp[ROW][COLUMN]=TEXT for a cell of the barrier grid, or SGTR[ROW]=TEXT for a\n"
        "TR number.\n"
        "\n"
        "The form may not take an edit as given: its key filters refuse characters,\n"
        "texts are cut to their length, numbers are held to their range, and a model\n"
        "leaves some fields read-only. Each such edit is told in one line on standard\n"
        "error, what the form took is saved, and the exit status is 3. With --strict\n"
        "nothing is saved then. A FILE.sim of \"-\" reads standard input and writes\n"
        "standard output.",
    .options = kOptions,
    .operands = {.min = 2,
                 .max = CliOperands::kUnlimited,
                 .first = CliValue::File,
                 .rest = CliValue::Edit},
    .run = RunEdit,
};

} // namespace tarvik::cli
