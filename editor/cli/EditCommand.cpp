#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/Completion.h"
#include "editor/cli/FormLoading.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/form/NamedEdit.h"
#include "program/ProgramDocument.h"

#include <array>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--model", ArgValue::Choice, "0|1|2", "apply this device model before the edits"},
    ArgOption{"--strict", ArgValue::None, "",
              "save nothing when the form changes or refuses any edit"},
};

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
    const NamedEditOutcome outcome = ApplyNamedEdit(form_, name, edit.substr(equals + 1));
    switch (outcome.status) {
    case NamedEditOutcome::Status::UnknownName:
        err_ << "tarvik-cli: edit: no field or cell '" << name << "' (see 'tarvik-cli fields')\n";
        return false;
    case NamedEditOutcome::Status::Changed:
    case NamedEditOutcome::Status::NotApplied:
        report(name, outcome.message);
        break;
    case NamedEditOutcome::Status::Taken:
        break;
    }
    return true;
}

// Applies the edits in order as a user would, and saves what the form took; with --strict,
// nothing unless it took every edit as given.
int RunEdit(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const std::string path(args.operands[0]);
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, path, GivenModel(args), io)) {
        return exitUsage;
    }
    EditSession session(form, io.err);
    for (std::size_t i = 1; i < args.operands.size(); ++i) {
        if (!session.apply(args.operands[i])) {
            return exitUsage;
        }
    }
    if (session.changedAny() && args.has("--strict")) {
        io.err << "tarvik-cli: edit: --strict: nothing saved\n";
        return exitEditsChanged;
    }
    form.focusField(-1); // leaving the last field, as closing the window would
    const int saved = SaveOrReport(doc, path, io);
    return saved == exitOk && session.changedAny() ? exitEditsChanged : saved;
}

} // namespace

const CliCommand editCommand{
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
    .options = options,
    .operands = {.min = 2,
                 .max = ArgOperands::unlimited,
                 .first = {ArgValue::File},
                 .rest = {ArgValue::Text, EditCandidates}},
    .run = RunEdit,
};

} // namespace tarvik::cli
