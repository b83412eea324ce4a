#pragma once

#include "modem/ModemScan.h"
#include "modem/RemoteSend.h"

#include <atomic>
#include <string>
#include <vector>

namespace tarvik::modem {

class MessageLog;

// SendRemote through the modem on the serial port `port`, as tarvik-cli and the window send.
// When ModemManager manages that modem, it is first asked to let go of it for the sending
// (and takes it back at the end, also when the sending fails or is cancelled); when it
// refuses, the messages go through ModemManager itself (SendThroughModemManager). Without
// ModemManager the port is opened and spoken to at once. The observer's notice() says
// which way the messages go when ModemManager is involved.
SendOutcome SendOnPort(const std::string& port, const SendRequest& request, MessageLog& log,
                       SendObserver& observer, const std::atomic<bool>* cancel = nullptr);

// ProbeModem on each port in turn, except that a port ModemManager manages is not spoken to
// (ModemManager would take our commands' answers, or we its): ModemManager says what it
// knows of that modem, and names itself as its holder.
std::vector<ModemInfo> ListModems(const std::vector<std::string>& ports, milliseconds timeout);

} // namespace tarvik::modem
