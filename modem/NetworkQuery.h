#pragma once

#include "modem/AtSession.h"
#include "modem/NetworkState.h"

#include <optional>
#include <string>

namespace tarvik::modem {

// The modem's registration by AT+CREG? and AT+CEREG?: registered when either says so (a
// modem on LTE may be searching for circuit-switched service and registered by +CEREG), else
// the first state told; nothing when the modem knows neither command.
std::optional<Registration> AskRegistration(AtSession& session, milliseconds timeout);

// The signal by AT+CSQ in words ("good (-83 dBm)"), "unknown" when the modem does not tell.
std::string AskSignal(AtSession& session, milliseconds timeout);

// The SIM's state by AT+CPIN?: "ready", "asks for its PIN" ..., "unknown" without an answer.
std::string AskSimState(AtSession& session, milliseconds timeout);

} // namespace tarvik::modem
