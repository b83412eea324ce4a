#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::modem {

// The short messages that carry a remote-programming text.
struct MessagePlan {
    std::vector<std::u16string> messages;
    std::string error; // set when an entry fits no SMS; messages is then empty
};

// Cuts a remote-programming text (Windows-1252, blocks on lines of their own) into SMS
// texts: a block that fits one SMS is one message; a longer one is cut after a ";", never
// inside an entry, into as few messages as the entries fill in order. Each message is
// coded on its own (7-bit, or UCS2 when it holds a character outside the GSM alphabet), and
// carries no concatenation header, since the device reads every message by itself.
MessagePlan PlanMessages(std::string_view remoteText);

} // namespace tarvik::modem
