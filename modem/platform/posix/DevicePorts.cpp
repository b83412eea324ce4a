// The serial ports of a Linux machine where a USB GSM modem may be.
#include "modem/ModemScan.h"

#include <filesystem>

namespace tarvik::modem {

std::string_view SystemSerialPortPlaces() {
    return "/dev/ttyUSB* or /dev/ttyACM*";
}

// A USB modem's ports are /dev/ttyUSB* (a serial converter's driver) or /dev/ttyACM* (a
// CDC-ACM modem).
std::vector<std::string> SystemSerialPorts() {
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) {
            ports.push_back(entry.path().string());
        }
    }
    return ports;
}

} // namespace tarvik::modem
