#include "editor/cli/CliSupport.h"

#include "base/Files.h"
#include "base/TextLines.h"
#include "base/Windows1252.h"
#include "editor/form/DeviceModels.h"

#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <system_error>

namespace tarvik::cli {

std::string_view InputName(const std::string& path) {
    return path == "-" ? standardInput : std::string_view(path);
}

void ReportProblem(std::string_view what, std::string_view reason, std::ostream& err) {
    err << "tarvik-cli: " << what << ": " << reason << '\n';
}

std::optional<std::string> ReadInput(const std::string& path, CliIo& io) {
    if (path == "-") {
        std::string content{std::istreambuf_iterator<char>(io.in),
                            std::istreambuf_iterator<char>()};
        if (io.in.bad()) {
            ReportProblem(standardInput, "read error", io.err);
            return std::nullopt;
        }
        return content;
    }
    base::FileResult<std::string> content = base::ReadWholeFile(base::PathFromUtf8(path));
    if (!content) {
        ReportProblem(path, content.error().reason.message(), io.err);
        return std::nullopt;
    }
    return std::move(*content);
}

bool LoadDocument(ProgramDocument& doc, const std::string& path, CliIo& io,
                  const DocumentHooks& hooks) {
    const std::optional<std::string> content = ReadInput(path, io);
    if (!content) {
        return false;
    }
    const FileResult result = OpenDocumentContent(doc, *content, hooks);
    if (!result.ok) {
        ReportProblem(InputName(path), result.reason, io.err);
        return false;
    }
    doc.fileName = path == "-" ? std::string() : path;
    return true;
}

int SaveOrReport(ProgramDocument& doc, const std::string& path, CliIo& io) {
    if (path == "-") {
        io.out << DocumentFileBytes(doc);
        doc.modified = false;
        return exitOk; // a failed write shows when the output is flushed
    }
    const FileResult result = SaveDocument(doc, path);
    if (!result.ok) {
        ReportProblem(path, result.reason, io.err);
        return exitUsage;
    }
    return exitOk;
}

std::optional<int> ParseModelIndex(std::string_view text) {
    if (text.size() != 1) {
        return std::nullopt;
    }
    const int model = text[0] - '0';
    if (model < 0 || model >= static_cast<int>(DeviceModels().size())) {
        return std::nullopt;
    }
    return model;
}

std::optional<int> GivenModel(const ParsedArgs& args) {
    const auto value = args.value("--model");
    return value ? ParseModelIndex(*value) : std::nullopt;
}

std::optional<std::string> ArgumentText(std::string_view utf8, std::string_view what,
                                        std::ostream& err) {
    Windows1252Text converted = Utf8ToWindows1252(utf8);
    if (!converted.ok()) {
        ReportProblem(what, RefusedCharacterMessage(*converted.refused), err);
        return std::nullopt;
    }
    return std::move(converted.text);
}

void WriteLines(std::string_view text, std::ostream& out) {
    for (const auto& line : SplitLines(text)) {
        out << Windows1252ToUtf8(line) << '\n';
    }
}

} // namespace tarvik::cli
