#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

#include <ostream>
#include <sstream>
#include <string>

namespace tarvik::cli {
namespace {

void WriteFields(FormModel& form, std::ostream& out) {
    FieldModel& fields = form.fields();
    std::string readOnly;
    for (int f = 0; f < fields.size(); ++f) {
        const FieldDef& def = FieldModel::Def(f);
        if (!HoldsValue(def.kind)) {
            continue;
        }
        out << def.name << '=' << Windows1252ToUtf8(fields.valueText(f)) << '\n';
        if (!fields.editable(f)) {
            readOnly += (readOnly.empty() ? "" : ",") + def.name;
        }
    }
    const StringGrid& ramp = form.SGRamp();
    for (int row = 1; row < ramp.rowCount(); ++row) {
        if (ramp.cell(0, row).empty()) {
            continue;
        }
        out << "SGRamp[" << row << "]=" << Windows1252ToUtf8(ramp.cell(0, row));
        for (int col = 1; col < ramp.colCount(); ++col) {
            out << ',' << Windows1252ToUtf8(ramp.cell(col, row));
        }
        out << '\n';
    }
    const StringGrid& tr = form.SGTR();
    for (int row = 1; row < tr.rowCount(); ++row) {
        if (!tr.cell(1, row).empty()) {
            out << "SGTR[" << row << "]=" << Windows1252ToUtf8(tr.cell(1, row)) << '\n';
        }
    }
    out << "readonly=" << readOnly << '\n';
}

} // namespace

// tarvik-cli fields FILE.sim [--model 0|1|2]: the form as Open shows the file, one field a
// line in the order of the field table, then the filled grid rows and the fields the model
// does not let the user change.
int RunFieldsCommand(CliArgs args, std::ostream& out, std::ostream& err) {
    const auto parsed = ParseFormArgs(args);
    if (!parsed || !parsed->rest.empty()) {
        return UsageError(CommandNamed("fields"), err);
    }
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, *parsed, err)) {
        return kExitUsage;
    }
    std::ostringstream text;
    WriteFields(form, text);
    out << text.str();
    return kExitOk;
}

} // namespace tarvik::cli
