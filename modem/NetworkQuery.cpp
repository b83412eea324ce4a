#include "modem/NetworkQuery.h"

#include <vector>

namespace tarvik::modem {

std::optional<Registration> AskRegistration(AtSession& session, milliseconds timeout) {
    std::optional<Registration> first;
    for (const char* command : {"AT+CREG?", "AT+CEREG?"}) {
        const AtResult answer = session.command(command, timeout);
        for (const auto& line : answer.ok ? answer.lines : std::vector<std::string>{}) {
            if (const auto stat = ParseRegistration(line)) {
                if (IsRegistered(*stat)) {
                    return stat;
                }
                first = first ? first : stat;
            }
        }
        if (session.failed()) {
            break;
        }
    }
    return first;
}

std::string AskSignal(AtSession& session, milliseconds timeout) {
    const AtResult answer = session.command("AT+CSQ", timeout);
    for (const auto& line : answer.ok ? answer.lines : std::vector<std::string>{}) {
        if (const auto rssi = ParseSignal(line)) {
            return DescribeSignal(*rssi);
        }
    }
    return "unknown";
}

std::string AskSimState(AtSession& session, milliseconds timeout) {
    // 3GPP TS 27.007 §8.3: READY, or the code the SIM waits for.
    const AtResult answer = session.command("AT+CPIN?", timeout);
    if (!answer.ok) {
        return answer.error.starts_with("+CME ERROR: 10") ? "no SIM" : "unknown";
    }
    for (const auto& line : answer.lines) {
        if (line.starts_with("+CPIN:")) {
            std::string_view code = std::string_view(line).substr(6);
            while (code.starts_with(' ')) {
                code.remove_prefix(1);
            }
            if (code == "READY") {
                return "ready";
            }
            return "asks for " + std::string(code);
        }
    }
    return "unknown";
}

} // namespace tarvik::modem
