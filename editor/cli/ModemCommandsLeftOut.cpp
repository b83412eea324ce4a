// The modem commands of a build without the modem library: listed nowhere, they say why.
#include "editor/cli/CliCommand.h"

namespace tarvik::cli {

inline constexpr std::string_view noModem = "this build has no serial port for a modem";

const CliCommand modemsCommand{
    .name = "modems",
    .arguments = "",
    .summary = "list the serial ports where a GSM modem answers",
    .description = {},
    .options = {},
    .operands = {},
    .run = nullptr,
    .leftOutBecause = noModem,
};

const CliCommand sendRemoteCommand{
    .name = "send-remote",
    .arguments = "FILE.sim --port DEVICE --to NUMBER",
    .summary = "send the remote-programming text by SMS through a GSM modem",
    .description = {},
    .options = {},
    .operands = {},
    .run = nullptr,
    .leftOutBecause = noModem,
};

} // namespace tarvik::cli
