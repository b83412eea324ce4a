// The sheet command of a build without Qt's PDF writer: listed nowhere, it says why.
#include "editor/cli/CliCommand.h"

namespace tarvik::cli {

const CliCommand sheetCommand{
    .name = "sheet",
    .arguments = "[--language NAME] FILE.sim OUT.pdf",
    .summary = "write the configuration sheet as a PDF",
    .description = {},
    .options = {},
    .operands = {},
    .run = nullptr,
    .leftOutBecause = "the configuration sheet needs Qt's PDF writer, which this build lacks",
};

} // namespace tarvik::cli
