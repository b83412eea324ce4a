#pragma once

#include "modem/DeliverPdu.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tarvik::modem {

// A message put together from its parts, with the tags (storage indices on the modem) of
// every part it came from.
struct JoinedReply {
    ReceivedSms sms;
    std::vector<int> tags;
    std::string missing; // empty when whole; else "parts 2, 3 of 3 missing"
};

// Joins the parts of concatenated messages (3GPP TS 23.040 §9.2.3.24.1) by sender,
// reference and total, in the order of their sequence numbers, whatever order they came in.
class ReplyParts {
public:
    // The whole message once `sms` completes it, or `sms` itself when it is no part.
    std::optional<JoinedReply> add(const ReceivedSms& sms, int tag);

    // The messages still missing parts, each with the text of the parts that came, in order.
    std::vector<JoinedReply> takeIncomplete();

private:
    using Key = std::tuple<std::string, int, int>; // sender, reference, total
    struct Pending {
        std::map<int, ReceivedSms> parts; // by sequence number
        std::vector<int> tags;
    };

    static JoinedReply join(const Pending& pending, int total);

    std::map<Key, Pending> pending_;
};

} // namespace tarvik::modem
