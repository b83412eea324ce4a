#pragma once

#include "modem/AtSession.h"
#include "modem/SerialPort.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
    std::string holder;       // the program that holds the modem ("ModemManager"); empty: none
};

// Opens the port at `path`; nothing, with the reason in `error`, when it cannot be opened.
using PortOpener =
    std::function<std::unique_ptr<SerialPort>(const std::string& path, std::string& error)>;

// The machine's serial ports where a GSM modem may be: /dev/ttyUSB* and /dev/ttyACM* on
// Linux; on Windows the COM ports its serial drivers list (HARDWARE\DEVICEMAP\SERIALCOMM).
std::vector<std::string> SystemSerialPorts();

// Where SystemSerialPorts looks, in words for a message: "/dev/ttyUSB* or /dev/ttyACM*" on
// Linux, "the COM ports Windows lists" on Windows.
std::string_view SystemSerialPortPlaces();

// The ports in the order people count them ("COM2" before "COM10", a number within a name
// taken as a number), without repeats.
std::vector<std::string> OrderedPorts(std::vector<std::string> ports);

// SystemSerialPorts() and the one in TARVIK_MODEM_PORT (the virtual modem of the run command),
// ordered, without repeats.
std::vector<std::string> CandidatePorts();

// Asks `port` for AT, then for its vendor and model, its SIM's state, its registration and
// its signal; nothing when it cannot be opened or does not answer AT with OK.
std::optional<ModemInfo> ProbeModem(const std::string& port, milliseconds timeout,
                                    const PortOpener& open = OpenSerialPort);

// ProbeModem on each port in turn: the modems that answered, in the order of `ports`.
std::vector<ModemInfo> ScanModems(const std::vector<std::string>& ports, milliseconds timeout,
                                  const PortOpener& open = OpenSerialPort);

} // namespace tarvik::modem
