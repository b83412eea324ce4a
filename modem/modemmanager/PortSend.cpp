#include "modem/modemmanager/PortSend.h"

#include "modem/ModemScan.h"
#include "modem/modemmanager/ManagedPort.h"
#include "modem/modemmanager/MessagingSend.h"

namespace tarvik::modem {
namespace {

SendOutcome SendOverAt(const std::string& port, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel) {
    std::string error;
    const auto serial = OpenSerialPort(port, error);
    if (!serial) {
        SendOutcome outcome;
        outcome.result = SendOutcome::Result::SetupFailed;
        outcome.error = error;
        return outcome;
    }
    AtSession session(*serial);
    return SendRemote(session, request, log, observer, cancel);
}

} // namespace

SendOutcome SendOnPort(const std::string& port, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel) {
    const auto link = ConnectModemManager();
    const auto managed = link ? ModemOnPort(link->modems(), port) : std::nullopt;
    if (!managed) {
        return SendOverAt(port, request, log, observer, cancel);
    }
    std::string refusal;
    if (!link->inhibit(*managed, refusal)) {
        observer.notice("ModemManager holds the modem and would not let go of it (" + refusal +
                        "); sending through ModemManager");
        return SendThroughModemManager(*link, *managed, request, log, observer, cancel);
    }
    observer.notice("ModemManager lets go of the modem while the messages go");
    SendOutcome outcome = SendOverAt(port, request, log, observer, cancel);
    link->release();
    return outcome;
}

std::vector<ModemInfo> ListModems(const std::vector<std::string>& ports, milliseconds timeout) {
    const auto link = ConnectModemManager();
    const auto managed = link ? link->modems() : std::vector<ManagedModem>{};
    std::vector<ModemInfo> modems;
    for (const auto& port : ports) {
        if (const auto modem = ModemOnPort(managed, port)) {
            modems.push_back(DescribeManaged(*modem, port));
        } else if (auto info = ProbeModem(port, timeout)) {
            modems.push_back(std::move(*info));
        }
    }
    return modems;
}

} // namespace tarvik::modem
