#include "modem/ModemScan.h"

#include "modem/NetworkQuery.h"

#include <algorithm>
#include <cstdlib>

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

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether port `a` comes before `b`: character by character, except that runs of digits
// compare as numbers (shorter run without leading zeros first, then digit by digit).
bool PortBefore(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::size_t aEnd = std::find_if_not(a.begin() + i, a.end(), IsDigit) - a.begin();
            const std::size_t bEnd = std::find_if_not(b.begin() + j, b.end(), IsDigit) - b.begin();
            std::string_view x = a.substr(i, aEnd - i);
            std::string_view y = b.substr(j, bEnd - j);
            while (x.size() > 1 && x.front() == '0') {
                x.remove_prefix(1);
            }
            while (y.size() > 1 && y.front() == '0') {
                y.remove_prefix(1);
            }
            if (x.size() != y.size()) {
                return x.size() < y.size();
            }
            if (x != y) {
                return x < y;
            }
            i = aEnd;
            j = bEnd;
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

} // namespace

std::vector<std::string> OrderedPorts(std::vector<std::string> ports) {
    std::sort(ports.begin(), ports.end(),
              [](const std::string& a, const std::string& b) { return PortBefore(a, b); });
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::vector<std::string> CandidatePorts() {
    std::vector<std::string> ports = SystemSerialPorts();
    if (const char* port = std::getenv("TARVIK_MODEM_PORT"); port != nullptr && *port != '\0') {
        ports.emplace_back(port);
    }
    return OrderedPorts(std::move(ports));
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
