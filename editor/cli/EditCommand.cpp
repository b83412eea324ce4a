#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"
#include "editor/form/IntegerText.h"
#include "program/ProgramDocument.h"

#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

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

// Applies one edit, given as UTF-8, the way a user makes it; false after writing the reason
// to err.
bool ApplyEdit(FormModel& form, std::string_view edit, std::ostream& err) {
    const std::size_t eq = edit.find('=');
    if (eq == std::string_view::npos) {
        err << "tarvik-cli: an edit is NAME=VALUE: " << edit << '\n';
        return false;
    }
    std::string_view target = edit.substr(0, eq);
    const std::string_view typed = edit.substr(eq + 1);
    // The value is typed into the form, whose text is 8-bit; the target names are ASCII.
    const auto converted = ArgumentText(typed, err);
    if (!converted) {
        return false;
    }
    const std::string_view value = *converted;

    if (target.starts_with("SGRamp[")) {
        target.remove_prefix(6);
        const auto row = TakeIndex(target);
        const auto col = TakeIndex(target);
        if (!row || !col || !target.empty() || !form.userEditRampCell(*row, *col, value)) {
            err << "tarvik-cli: no barrier cell " << edit.substr(0, eq) << '\n';
            return false;
        }
        return true;
    }
    if (target.starts_with("SGTR[")) {
        target.remove_prefix(4);
        const auto row = TakeIndex(target);
        if (!row || !target.empty() || !form.userEditTrCell(*row, value)) {
            err << "tarvik-cli: no TR cell " << edit.substr(0, eq) << '\n';
            return false;
        }
        return true;
    }

    const int field = FindField(target);
    if (field < 0) {
        err << "tarvik-cli: no field " << target << '\n';
        return false;
    }
    switch (form.userSetValue(field, value)) {
    case FormModel::EditResult::Done:
        return true;
    case FormModel::EditResult::NotEditable:
        err << "tarvik-cli: " << target << " is read-only for this model\n";
        return false;
    case FormModel::EditResult::BadValue:
        break;
    }
    err << "tarvik-cli: " << target << " does not take " << typed << '\n';
    return false;
}

} // namespace

// tarvik-cli edit FILE.sim [--model 0|1|2] EDIT...: applies the edits in order as a user
// would, and saves only when every one of them was accepted.
int RunEditCommand(CliArgs args, std::ostream&, std::ostream& err) {
    const auto parsed = ParseFormArgs(args);
    if (!parsed || parsed->rest.empty()) {
        return UsageError(CommandNamed("edit"), err);
    }
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, *parsed, err)) {
        return kExitUsage;
    }
    for (const std::string_view edit : parsed->rest) {
        if (!ApplyEdit(form, edit, err)) {
            return kExitUsage;
        }
    }
    form.focusField(-1); // leaving the last field, as closing the window would
    return SaveOrReport(doc, parsed->path, err);
}

} // namespace tarvik::cli
