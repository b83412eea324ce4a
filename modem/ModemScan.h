#pragma once

#include "modem/AtSession.h"

#include <string>
#include <vector>

namespace tarvik::modem {

// A serial port that answered AT.
struct ModemInfo {
    std::string port;
    std::string vendor; // from AT+CGMI; empty when it gave none
    std::string model;  // from AT+CGMM
};

// The ports where a USB GSM modem may be: /dev/ttyUSB* and /dev/ttyACM*, and the one in
// TARVIK_MODEM_PORT (the virtual modem of the run command), sorted, without repeats.
std::vector<std::string> CandidatePorts();

// Asks `port` for AT, then for its vendor and model; nothing when it does not answer.
std::optional<ModemInfo> ProbeModem(const std::string& port, milliseconds timeout);

} // namespace tarvik::modem
