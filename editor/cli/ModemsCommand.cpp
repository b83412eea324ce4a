#include "editor/cli/CliCommand.h"
#include "editor/cli/CliSupport.h"
#include "modem/ModemScan.h"
#include "modem/RemoteSend.h"
#include "modem/modemmanager/PortSend.h"

#include <algorithm>
#include <ostream>

namespace tarvik::cli {
namespace {

// One line per serial port that answers AT: "PORT: VENDOR MODEL; SIM ...; REGISTRATION;
// signal ...", and "; held by ModemManager" when ModemManager manages it.
int RunModems(const CliCommand&, const ParsedArgs&, CliIo& io) {
    // A modem answers AT at once; a port that is not one should not hold the list up long.
    const auto timeout =
        std::min(modem::ModemTimeouts::fromEnvironment().command, modem::milliseconds(2000));
    const auto modems = modem::ListModems(modem::CandidatePorts(), timeout);
    for (const auto& info : modems) {
        std::string name = info.vendor;
        if (!info.model.empty()) {
            name += (name.empty() ? "" : " ") + info.model;
        }
        io.out << info.port << ": " << (name.empty() ? "modem" : name) << "; SIM " << info.sim
               << "; " << info.registration << "; signal " << info.signal
               << (info.holder.empty() ? "" : "; held by " + info.holder) << '\n';
    }
    if (modems.empty()) {
        io.err << "tarvik-cli: no modem answers on " << modem::SystemSerialPortPlaces() << '\n';
    }
    return exitOk;
}

} // namespace

const CliCommand modemsCommand{
    .name = "modems",
    .arguments = "",
    .summary = "list the serial ports where a GSM modem answers",
    .description = "Asks every USB serial port (/dev/ttyUSB*, /dev/ttyACM*, and the port in\n"
                   "TARVIK_MODEM_PORT) for AT, and prints one line a port that answers,\n"
                   "\"PORT: VENDOR MODEL; SIM STATE; REGISTRATION; signal SIGNAL\" as the\n"
                   "modem tells them (AT+CGMI, AT+CGMM, AT+CPIN?, AT+CREG?/AT+CEREG?, AT+CSQ).\n"
                   "A modem that ModemManager manages is not asked: ModemManager tells, the\n"
                   "signal in percent, and the line ends with \"; held by ModemManager\".\n"
                   "PORT is what send-remote's --port takes.",
    .options = {},
    .operands = {},
    .run = RunModems,
};

} // namespace tarvik::cli
