#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/cli/JsonOutput.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FieldTable.h"
#include "editor/form/FormModel.h"

#include <array>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--model", ArgValue::Choice, "0|1|2", "apply this device model first"},
    ArgOption{"--json", ArgValue::None, "", "print one JSON object instead of the lines"},
};

// The form as fields prints it: values as UTF-8 text.
struct FormValues {
    struct Value {
        std::string name;
        std::string value;
    };
    struct Row {
        int row;
        std::vector<std::string> cells;
    };
    std::vector<Value> fields; // in the order of the field table
    std::vector<std::string> readOnly;
    std::vector<Row> ramp; // filled barrier rows: the number, then the flags
    std::vector<Row> tr;   // filled TR rows: the number
};

FormValues ReadForm(FormModel& form) {
    FormValues values;
    FieldModel& fields = form.fields();
    for (int f = 0; f < fields.size(); ++f) {
        const FieldDef& def = FieldModel::definition(f);
        if (!HoldsValue(def.kind)) {
            continue;
        }
        values.fields.push_back({def.name, Windows1252ToUtf8(fields.valueText(f))});
        if (!fields.editable(f)) {
            values.readOnly.push_back(def.name);
        }
    }
    const StringGrid& ramp = form.rampGrid();
    for (int row = 1; row < ramp.rowCount(); ++row) {
        if (ramp.cell(0, row).empty()) {
            continue;
        }
        FormValues::Row cells{row, {}};
        for (int col = 0; col < ramp.colCount(); ++col) {
            cells.cells.push_back(Windows1252ToUtf8(ramp.cell(col, row)));
        }
        values.ramp.push_back(std::move(cells));
    }
    const StringGrid& tr = form.trGrid();
    for (int row = 1; row < tr.rowCount(); ++row) {
        if (!tr.cell(1, row).empty()) {
            values.tr.push_back({row, {Windows1252ToUtf8(tr.cell(1, row))}});
        }
    }
    return values;
}

void WriteText(const FormValues& values, std::ostream& out) {
    for (const auto& [name, value] : values.fields) {
        out << name << '=' << value << '\n';
    }
    for (const auto& [row, cells] : values.ramp) {
        out << "SGRamp[" << row << "]=";
        for (std::size_t col = 0; col < cells.size(); ++col) {
            out << (col == 0 ? "" : ",") << cells[col];
        }
        out << '\n';
    }
    for (const auto& [row, cells] : values.tr) {
        out << "SGTR[" << row << "]=" << cells[0] << '\n';
    }
    out << "readonly=";
    for (std::size_t i = 0; i < values.readOnly.size(); ++i) {
        out << (i == 0 ? "" : ",") << values.readOnly[i];
    }
    out << '\n';
}

Json JsonRows(const std::vector<FormValues::Row>& rows) {
    Json array = Json::array();
    for (const auto& [row, cells] : rows) {
        Json texts = Json::array();
        for (const auto& cell : cells) {
            texts.push_back(JsonText(cell));
        }
        Json entry = Json::object();
        entry["row"] = row;
        entry["cells"] = std::move(texts);
        array.push_back(std::move(entry));
    }
    return array;
}

void WriteFormJson(const FormModel& form, const FormValues& values, std::ostream& out) {
    Json fields = Json::object();
    for (const auto& [name, value] : values.fields) {
        fields[JsonText(name)] = JsonText(value);
    }
    Json readOnly = Json::array();
    for (const auto& name : values.readOnly) {
        readOnly.push_back(JsonText(name));
    }
    Json json = Json::object();
    json["model"] = form.deviceIndex();
    json["fields"] = std::move(fields);
    json["readonly"] = std::move(readOnly);
    json["SGRamp"] = JsonRows(values.ramp);
    json["SGTR"] = JsonRows(values.tr);
    WriteJson(json, out);
}

// The form as Open shows the file: one field a line in the order of the field table, then
// the filled grid rows and the fields the model does not let the user change.
int RunFields(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, std::string(args.operands[0]), GivenModel(args), io)) {
        return exitUsage;
    }
    const FormValues values = ReadForm(form);
    std::ostringstream text;
    if (args.has("--json")) {
        WriteFormJson(form, values, text);
    } else {
        WriteText(values, text);
    }
    io.out << text.str();
    return exitOk;
}

} // namespace

const CliCommand fieldsCommand{
    .name = "fields",
    .arguments = "[--model 0|1|2] [--json] FILE.sim",
    .summary = "print every field of the form",
    .description =
        "Prints the form as the window shows the file: NAME=VALUE for every field in\n"
        "the order of the pages (VALUE as 'edit' takes it), then the filled grid rows as\n"
        "SGRamp[ROW]=NUMBER,FLAG,FLAG,FLAG,FLAG and SGTR[ROW]=NUMBER, and last readonly=\n"
        "with the fields that the model does not let the user change. With --json it\n"
        "prints one object instead: \"model\", \"fields\" (names and values), \"readonly\",\n"
        "\"SGRamp\" and \"SGTR\" (arrays of rows with their \"row\" and \"cells\").",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunFields,
};

} // namespace tarvik::cli
