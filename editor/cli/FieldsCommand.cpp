#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/FormLoading.h"
#include "editor/cli/JsonWriter.h"
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

constexpr std::array kOptions{
    CliOption{"--model", CliValue::Model, "0|1|2", "apply this device model first"},
    CliOption{"--json", CliValue::None, "", "print one JSON object instead of the lines"},
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

void WriteRows(JsonWriter& json, std::string_view key, const std::vector<FormValues::Row>& rows) {
    json.key(key);
    json.beginArray();
    for (const auto& [row, cells] : rows) {
        json.beginObject();
        json.key("row");
        json.number(row);
        json.key("cells");
        json.beginArray();
        for (const auto& cell : cells) {
            json.string(cell);
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
}

void WriteJson(const FormModel& form, const FormValues& values, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("model");
    json.number(form.deviceIndex());
    json.key("fields");
    json.beginObject();
    for (const auto& [name, value] : values.fields) {
        json.key(name);
        json.string(value);
    }
    json.endObject();
    json.key("readonly");
    json.beginArray();
    for (const auto& name : values.readOnly) {
        json.string(name);
    }
    json.endArray();
    WriteRows(json, "SGRamp", values.ramp);
    WriteRows(json, "SGTR", values.tr);
    json.endObject();
}

// The form as Open shows the file: one field a line in the order of the field table, then
// the filled grid rows and the fields the model does not let the user change.
int RunFields(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    ProgramDocument doc{kDefaultModelIndex};
    LanguageTable language;
    FormModel form(doc, language);
    if (!OpenIntoForm(form, std::string(args.operands[0]), GivenModel(args), io)) {
        return kExitUsage;
    }
    const FormValues values = ReadForm(form);
    std::ostringstream text;
    if (args.has("--json")) {
        WriteJson(form, values, text);
    } else {
        WriteText(values, text);
    }
    io.out << text.str();
    return kExitOk;
}

} // namespace

const CliCommand kFieldsCommand{
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
    .options = kOptions,
    .operands = {.min = 1, .max = 1, .first = CliValue::File},
    .run = RunFields,
};

} // namespace tarvik::cli
