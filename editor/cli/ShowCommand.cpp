#include "base/Windows1252.h"
#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/JsonOutput.h"
#include "program/DocumentFiles.h"
#include "program/ProgramFile.h"

#include <array>
#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

constexpr std::array options{
    ArgOption{"--json", ArgValue::None, "", "print one JSON object instead of the lines"},
};

Json JsonLines(const std::vector<std::string>& lines) {
    Json array = Json::array();
    for (const auto& line : lines) {
        array.push_back(JsonText(Windows1252ToUtf8(line)));
    }
    return array;
}

int RunShow(const CliCommand&, const ParsedArgs& args, CliIo& io) {
    const std::string path(args.operands[0]);
    const std::optional<std::string> content = ReadInput(path, io);
    if (!content) {
        return exitUsage;
    }
    const std::string plain = UnscrambleText(*content);
    const std::optional<PlainDocument> document = ParsePlainDocument(plain);
    if (!document) {
        ReportProblem(InputName(path), kNotAProgramFile, io.err);
        return exitUsage;
    }
    if (!args.has("--json")) {
        WriteLines(plain, io.out);
        return exitOk;
    }
    Json json = Json::object();
    json["model"] = document->modelIndex;
    json["notes"] = JsonLines(document->notes);
    json["program"] = JsonLines(document->program);
    WriteJson(json, io.out);
    return exitOk;
}

} // namespace

const CliCommand showCommand{
    .name = "show",
    .arguments = "[--json] FILE.sim",
    .summary = "print the unscrambled document",
    .description =
        "Prints the program file as plain text, one line a line, exactly as the file\n"
        "stores it: the model line, the notes, SIM-PRG and the program lines. With --json\n"
        "it prints one object instead: \"model\" (the model index the file asks for),\n"
        "\"notes\" and \"program\" (arrays of lines).",
    .options = options,
    .operands = {.min = 1, .max = 1, .first = {ArgValue::File}},
    .run = RunShow,
};

} // namespace tarvik::cli
