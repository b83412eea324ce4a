#include "modem/MessageSplit.h"

#include "base/Utf8.h"
#include "base/Windows1252.h"
#include "modem/SmsText.h"

namespace tarvik::modem {
namespace {

// The entries of a block, each with its ";"; the leading ";" of the first block stays with
// the entry after it.
std::vector<std::u16string_view> Entries(std::u16string_view block) {
    std::vector<std::u16string_view> entries;
    std::size_t start = 0;
    while (start < block.size()) {
        std::size_t end = block.find(u';', start == 0 && block[0] == u';' ? 1 : start);
        end = end == std::u16string_view::npos ? block.size() : end + 1;
        entries.push_back(block.substr(start, end - start));
        start = end;
    }
    return entries;
}

// Appends the messages of one block to the plan, or sets its error.
void PlanBlock(std::u16string_view block, MessagePlan& plan) {
    if (FitsOneSms(block)) {
        plan.messages.emplace_back(block);
        return;
    }
    std::u16string message;
    for (const std::u16string_view entry : Entries(block)) {
        if (FitsOneSms(message + std::u16string(entry))) {
            message += entry;
            continue;
        }
        if (!FitsOneSms(entry)) {
            plan.error = "the entry '" + Utf16ToUtf8(entry) + "' does not fit one SMS (" +
                         std::to_string(SmsUnits(entry)) +
                         (CodingFor(entry) == SmsCoding::SevenBit ? " septets, 160 at most)"
                                                                  : " characters, 70 at most)");
            return;
        }
        plan.messages.push_back(std::move(message));
        message = entry;
    }
    if (!message.empty()) {
        plan.messages.push_back(std::move(message));
    }
}

} // namespace

MessagePlan PlanMessages(std::string_view remoteText) {
    MessagePlan plan;
    const std::u16string text = Windows1252ToUtf16(remoteText);
    std::size_t start = 0;
    while (start <= text.size() && plan.error.empty()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        end = end == std::u16string::npos ? text.size() : end;
        if (end > start) {
            PlanBlock(std::u16string_view(text).substr(start, end - start), plan);
        }
        start = end + 1;
    }
    if (!plan.error.empty()) {
        plan.messages.clear();
    }
    return plan;
}

} // namespace tarvik::modem
