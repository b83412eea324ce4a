#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/JsonWriter.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"

#include <array>
#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

constexpr std::array kOptions{
    CliOption{"--json", CliValue::None, "", "print one JSON object instead of the lines"},
};

void WriteJsonLines(JsonWriter& json, std::string_view key, const std::vector<std::string>& lines) {
    json.key(key);
    json.beginArray();
    for (const auto& line : lines) {
        json.string(Windows1252ToUtf8(line));
    }
    json.endArray();
}

int RunShow(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const std::string path(args.operands[0]);
    const std::optional<std::string> content = ReadInput(path, io);
    if (!content) {
        return kExitUsage;
    }
    const std::string plain = UnscrambleText(*content);
    const std::optional<PlainDocument> document = ParsePlainDocument(plain);
    if (!document) {
        ReportProblem(InputName(path), kNotAProgramFile, io.err);
        return kExitUsage;
    }
    if (!args.has("--json")) {
        WriteLines(plain, io.out);
        return kExitOk;
    }
    JsonWriter json(io.out);
    json.beginObject();
    json.key("model");
    json.number(document->modelIndex);
    WriteJsonLines(json, "notes", document->notes);
    WriteJsonLines(json, "program", document->program);
    json.endObject();
    return kExitOk;
}

} // namespace

const CliCommand kShowCommand{
    .name = "show",
    .arguments = "[--json] FILE.sim",
    .summary = "print the unscrambled document",
    .description =
        "Prints the program file as plain text, one line a line, exactly as the file\n"
        "stores it: the model line, the notes, SIM-PRG and the program lines. With --json\n"
        "it prints one object instead: \"model\" (the model index the file asks for),\n"
        "\"notes\" and \"program\" (arrays of lines).",
    .options = kOptions,
    .operands = {.min = 1, .max = 1, .first = CliValue::File},
    .run = RunShow,
};

} // namespace tarvik::cli
