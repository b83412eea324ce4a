#pragma once

#include "modem/AtSession.h"

#include <string>
#include <vector>

namespace tarvik::modem {

// A serial port that answered AT.
struct ModemInfo {
    std::string port;
    std::string vendor;       // from AT+CGMI; empty when it gave none
    std::string model;        // from AT+CGMM
    std::string sim;          // "ready", "asks for SIM PIN", "unknown" (AT+CPIN?)
    std::string registration; // in words (AT+CREG?, AT+CEREG?); "unknown" when not told
    std::string signal;       // in words and dBm (AT+CSQ)
};

// The ports where a USB GSM modem may be: /dev/ttyUSB* and /dev/ttyACM*, and the one in
// TARVIK_MODEM_PORT (the virtual modem of the run command), sorted, without repeats.
std::vector<std::string> CandidatePorts();

// Asks `port` for AT, then for its vendor and model, its SIM's state, its registration and
// its signal; nothing when it does not answer.
std::optional<ModemInfo> ProbeModem(const std::string& port, milliseconds timeout);

} // namespace tarvik::modem
