#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "program/DocumentFiles.h"

#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {
namespace {

std::optional<int> ParseModel(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '2') {
        return text[0] - '0';
    }
    return std::nullopt;
}

} // namespace

// tarvik-cli new FILE.sim [--model 0|1|2]
int RunNewCommand(CliArgs args, std::ostream&, std::ostream& err) {
    const CliCommand& self = CommandNamed("new");
    std::optional<std::string> path;
    int model = 2;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<int> parsed;
        if (arg == "--model" && i + 1 < args.size()) {
            parsed = ParseModel(args[++i]);
        } else if (arg.starts_with("--model=")) {
            parsed = ParseModel(arg.substr(8));
        } else if (!arg.starts_with("-") && !path) {
            path = std::string(arg);
            continue;
        }
        if (!parsed) {
            return UsageError(self, err);
        }
        model = *parsed;
    }
    if (!path) {
        return UsageError(self, err);
    }

    ProgramDocument doc;
    doc.modelIndex = model;
    const FileResult result = SaveDocument(doc, *path);
    if (!result.ok) {
        return ReportFailure(result.messages, err);
    }
    return kExitOk;
}

} // namespace tarvik::cli
