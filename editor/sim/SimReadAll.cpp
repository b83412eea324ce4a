#include "base/Windows1252.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/TransferSteps.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tarvik {
namespace {

bool FailRead(TransferWindow& window, const std::string& detail) {
    window.failureDetail(detail);
    transfer::ShowTransferError(window, kReadError);
    return false;
}

std::string RecordName(int index) {
    return "record " + std::to_string(index + 1);
}

} // namespace

bool SimReadAll(TransferWindow& window, ProgramText& program) {
    transfer::CaptionKeeper keeper(window);
    const std::optional<int> count = SimSelectPhonebook();
    if (!count) {
        SimDropConnection();
        return FailRead(window, "the SIM phonebook cannot be selected");
    }
    if (*count < kMinimumSimRecords) {
        return FailRead(window, "the SIM phonebook has " + std::to_string(*count) +
                                    " records, fewer than " + std::to_string(kMinimumSimRecords));
    }

    const int records = std::min(*count, kMaximumSimRecords);
    std::vector<std::string> lines;
    for (int i = 0; i < records; ++i) {
        transfer::ShowProgress(window, i, *count);
        const std::optional<SimItem> item = SimReadItem(i);
        if (!item) {
            SimDropConnection();
            return FailRead(window, RecordName(i) + " cannot be read");
        }
        if (item->name.empty() && item->number.empty()) {
            continue;
        }
        const Windows1252Text name = Utf16ToWindows1252(item->name);
        const Windows1252Text number = Utf16ToWindows1252(item->number);
        if (!name.ok() || !number.ok()) {
            const char32_t refused = name.ok() ? *number.refused : *name.refused;
            return FailRead(window, RecordName(i) + ": " + RefusedCharacterMessage(refused));
        }
        lines.push_back(name.text + "=" + number.text);
    }
    program.assign(std::move(lines));
    return true;
}

} // namespace tarvik
