#include "modem/ModemScan.h"

#include "modem/NetworkQuery.h"
#include "modem/PosixSerialPort.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tarvik::modem {
namespace {

// The first information line of a command, without a "+CGMI: " style prefix.
std::string Identification(AtSession& session, std::string_view command, milliseconds timeout) {
    const AtResult answer = session.command(command, timeout);
    if (!answer.ok || answer.lines.empty()) {
        return {};
    }
    std::string_view line = answer.lines.front();
    const std::string prefix = std::string(command.substr(2)) + ":";
    if (line.starts_with(prefix)) {
        line.remove_prefix(prefix.size());
    }
    while (line.starts_with(' ')) {
        line.remove_prefix(1);
    }
    return std::string(line);
}

} // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& path, std::string& error) {
    return PosixSerialPort::open(path, error);
}

std::vector<std::string> CandidatePorts() {
    std::vector<std::string> ports;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("ttyUSB") || name.starts_with("ttyACM")) {
            ports.push_back(entry.path().string());
        }
    }
    if (const char* port = std::getenv("TARVIK_MODEM_PORT"); port != nullptr && *port != '\0') {
        ports.emplace_back(port);
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::optional<ModemInfo> ProbeModem(const std::string& port, milliseconds timeout,
                                    const PortOpener& open) {
    std::string error;
    const auto serial = open(port, error);
    if (!serial) {
        return std::nullopt;
    }
    AtSession session(*serial);
    if (!session.command("AT", timeout).ok) {
        return std::nullopt;
    }
    ModemInfo info;
    info.port = port;
    info.vendor = Identification(session, "AT+CGMI", timeout);
    info.model = Identification(session, "AT+CGMM", timeout);
    info.sim = AskSimState(session, timeout);
    const auto registration = AskRegistration(session, timeout);
    info.registration = registration ? Describe(*registration) : "registration unknown";
    info.signal = AskSignal(session, timeout);
    return info;
}

std::vector<ModemInfo> ScanModems(const std::vector<std::string>& ports, milliseconds timeout,
                                  const PortOpener& open) {
    std::vector<ModemInfo> modems;
    for (const auto& port : ports) {
        if (auto info = ProbeModem(port, timeout, open)) {
            modems.push_back(std::move(*info));
        }
    }
    return modems;
}

} // namespace tarvik::modem
