#include "editor/cli/FormLoading.h"

#include "editor/cli/CliSupport.h"
#include "program/DocumentFiles.h"

namespace tarvik::cli {

std::optional<FormArgs> ParseFormArgs(CliArgs args) {
    if (args.empty() || args[0].starts_with("--")) {
        return std::nullopt;
    }
    FormArgs parsed;
    parsed.path = std::string(args[0]);
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--model") {
            parsed.rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size()) {
            return std::nullopt;
        }
        parsed.model = ParseModelIndex(args[++i]);
        if (!parsed.model) {
            return std::nullopt;
        }
    }
    return parsed;
}

bool OpenIntoForm(FormModel& form, const FormArgs& args, std::ostream& err) {
    const FileResult result = OpenDocument(form.document(), args.path, form.documentHooks());
    if (!result.ok) {
        ReportFailure(result.messages, err);
        return false;
    }
    if (args.model) {
        form.Dev1Click(*args.model);
    }
    return true;
}

} // namespace tarvik::cli
