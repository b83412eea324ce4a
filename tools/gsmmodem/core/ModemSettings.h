#pragma once

#include "tools/gsmmodem/core/ModemEmulator.h"

#include <string>
#include <string_view>
#include <vector>

namespace gsmmodem {

// What gsmmodem's command line asks for: the modem's behaviour and what the program around it
// does (the link to the serial side, the record of messages, the timing of answers).
struct ModemSettings {
    ModemOptions modem;
    std::string link;
    std::string record;
    int delayMs = 0;
    int replyAfterMs = 0;
    int registerAfterSeconds = 0;
};

// The settings, or why the arguments were refused.
struct ParsedModemArgs {
    ModemSettings settings;
    bool help = false;
    bool version = false;
    std::string error; // empty: the arguments are good
};

ParsedModemArgs ParseModemArgs(const std::vector<std::string_view>& args);

// The text of "gsmmodem --help"; its options come from the table the parsing reads.
std::string ModemUsage();

} // namespace gsmmodem
