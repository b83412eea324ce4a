#include "modem/ReplyParts.h"

namespace tarvik::modem {

JoinedReply ReplyParts::join(const Pending& pending, int total) {
    JoinedReply joined;
    joined.tags = pending.tags;
    std::string missing;
    int gaps = 0;
    for (int sequence = 1; sequence <= total; ++sequence) {
        const auto it = pending.parts.find(sequence);
        if (it == pending.parts.end()) {
            missing += (gaps++ == 0 ? "" : ", ") + std::to_string(sequence);
            continue;
        }
        if (joined.sms.from.empty()) {
            joined.sms.from = it->second.from;
            joined.sms.time = it->second.time;
        }
        joined.sms.text += it->second.text;
    }
    if (gaps > 0) {
        joined.missing = (gaps == 1 ? "part " : "parts ") + missing + " of " +
                         std::to_string(total) + " missing";
    }
    return joined;
}

std::optional<JoinedReply> ReplyParts::add(const ReceivedSms& sms, int tag) {
    if (!sms.part || sms.part->total == 1) {
        ReceivedSms whole = sms;
        whole.part.reset();
        return JoinedReply{std::move(whole), {tag}, {}};
    }
    const MessagePart& part = *sms.part;
    const Key key{sms.from, part.reference, part.total};
    Pending& pending = pending_[key];
    pending.tags.push_back(tag);
    pending.parts.emplace(part.sequence, sms); // a repeated part keeps the first copy
    if (static_cast<int>(pending.parts.size()) < part.total) {
        return std::nullopt;
    }
    JoinedReply joined = join(pending, part.total);
    pending_.erase(key);
    return joined;
}

std::vector<JoinedReply> ReplyParts::takeIncomplete() {
    std::vector<JoinedReply> incomplete;
    for (const auto& [key, pending] : pending_) {
        incomplete.push_back(join(pending, std::get<2>(key)));
    }
    pending_.clear();
    return incomplete;
}

} // namespace tarvik::modem
