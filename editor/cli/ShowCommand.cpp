#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "program/DocumentFiles.h"
#include "program/FileBytes.h"
#include "program/ProgramFile.h"

#include <optional>
#include <ostream>
#include <string>

namespace tarvik::cli {

// tarvik-cli show FILE.sim: the plain document exactly as the file stores it, which shows
// notes lines that would end the notes on load.
int RunShowCommand(CliArgs args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return UsageError(CommandNamed("show"), err);
    }
    const std::optional<std::string> content = ReadFileBytes(std::string(args[0]));
    if (!content) {
        err << kDiskError << '\n';
        return kExitUsage;
    }
    const std::string plain = UnscrambleText(*content);
    if (!ParsePlainDocument(plain)) {
        err << kInvalidFileFormat << '\n';
        return kExitUsage;
    }
    WriteLines(plain, out);
    return kExitOk;
}

} // namespace tarvik::cli
