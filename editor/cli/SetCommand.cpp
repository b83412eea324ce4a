#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"
#include "program/ProgramDocument.h"

#include <ostream>
#include <string>

namespace tarvik::cli {

// tarvik-cli set FILE.sim NAME [NUMBER]: sets or (without NUMBER) removes one entry and
// saves the file with its model and notes.
int RunSetCommand(CliArgs args, std::ostream&, std::ostream& err) {
    if (args.size() != 2 && args.size() != 3) {
        return UsageError(CommandNamed("set"), err);
    }
    const std::string path(args[0]);
    const auto name = ArgumentText(args[1], err);
    const auto number = ArgumentText(args.size() == 3 ? args[2] : std::string_view(), err);
    if (!name || !number) {
        return kExitUsage;
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, path, err)) {
        return kExitUsage;
    }
    doc.program.SetProgramEntry(*name, *number);
    return SaveOrReport(doc, path, err);
}

} // namespace tarvik::cli
