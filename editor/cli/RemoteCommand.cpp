#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "editor/form/DeviceModels.h"

#include <ostream>
#include <string>

namespace tarvik::cli {

// tarvik-cli remote FILE.sim: the remote-programming text, blocks separated by an empty line.
int RunRemoteCommand(CliArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return UsageError(CommandNamed("remote"), err);
    }
    ProgramDocument doc{kDefaultModelIndex};
    if (!LoadDocument(doc, std::string(args[0]), err)) {
        return kExitUsage;
    }
    WriteLines(doc.program.remoteText(), out);
    return kExitOk;
}

} // namespace tarvik::cli
