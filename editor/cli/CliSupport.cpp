#include "editor/cli/CliSupport.h"

#include "base/TextLines.h"
#include "base/Windows1252.h"
#include "editor/form/DeviceModels.h"
#include "program/DocumentFiles.h"
#include "program/FileBytes.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <stdexcept>

namespace tarvik::cli {

int UsageError(const CliCommand& command, std::ostream& err) {
    err << "usage: tarvik-cli " << command.name << ' ' << command.arguments << '\n';
    return kExitUsage;
}

const CliCommand& CommandNamed(std::string_view name) {
    const auto commands = CliCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [name](const CliCommand& c) { return c.name == name; });
    if (found == commands.end()) {
        throw std::logic_error("tarvik-cli has no command " + std::string(name));
    }
    return *found;
}

int ReportFailure(std::span<const std::string> messages, std::ostream& err) {
    for (const auto& message : messages) {
        err << message << '\n';
    }
    return kExitUsage;
}

bool LoadDocument(ProgramDocument& doc, const std::string& path, std::ostream& err) {
    const std::optional<std::string> content = ReadFileBytes(path);
    if (!content) {
        err << kDiskError << '\n';
        return false;
    }
    const FileResult result = OpenDocumentContent(doc, *content);
    if (!result.ok) {
        ReportFailure(result.messages, err);
        return false;
    }
    doc.FileName = path;
    return true;
}

int SaveOrReport(ProgramDocument& doc, const std::string& path, std::ostream& err) {
    const FileResult result = SaveDocument(doc, path);
    if (!result.ok) {
        return ReportFailure(result.messages, err);
    }
    return kExitOk;
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

std::optional<std::string> ArgumentText(std::string_view utf8, std::ostream& err) {
    Windows1252Text converted = Utf8ToWindows1252(utf8);
    if (!converted.ok()) {
        err << "tarvik-cli: " << RefusedCharacterMessage(*converted.refused) << '\n';
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
