#pragma once

#include "modem/RemoteSend.h"
#include "modem/modemmanager/ModemManagerLink.h"

#include <atomic>

namespace tarvik::modem {

class MessageLog;

// SendRemote for a modem that ModemManager keeps: each message is created on the modem
// (Messaging.Create with its number and text) and sent (Sms.Send), then the device's replies
// are taken from the modem's Messages as ModemManager announces them (Added), its parts
// already joined. Everything is shown and logged as SendRemote does; a reply is deleted
// from the modem once logged, and so is each message sent, which ModemManager would keep.
// The first failure stops the sending; `cancel`, when set, stops before the next message
// and ends the wait.
SendOutcome SendThroughModemManager(ModemManagerLink& link, const ManagedModem& modem,
                                    const SendRequest& request, MessageLog& log,
                                    SendObserver& observer,
                                    const std::atomic<bool>* cancel = nullptr);

} // namespace tarvik::modem
