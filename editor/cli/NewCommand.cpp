#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"
#include "program/ProgramDocument.h"

#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {

// tarvik-cli new FILE.sim [--model 0|1|2]
int RunNewCommand(CliArgs args, std::ostream&, std::ostream& err) {
    const CliCommand& self = CommandNamed("new");
    std::optional<std::string> path;
    int model = kDefaultModelIndex;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<int> parsed;
        if (arg == "--model" && i + 1 < args.size()) {
            parsed = ParseModelIndex(args[++i]);
        } else if (arg.starts_with("--model=")) {
            parsed = ParseModelIndex(arg.substr(8));
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

    ProgramDocument doc{model};
    return SaveOrReport(doc, *path, err);
}

} // namespace tarvik::cli
