#include "base/Windows1252.h"
#include "editor/sim/PhonebookRead.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/TransferSteps.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvik {

ReadResult SimReadAll(CardPort& port, TransferWindow& window, ProgramText& program) {
    transfer::CaptionKeeper keeper(window);
    const PhonebookRead read = ReadPhonebook(port, window, RecordContent::Text);
    const std::optional<std::string> tooSmall =
        read.phonebook ? TooSmallForAProgram(read.phonebook->geometry) : std::nullopt;
    if (!read.phonebook || tooSmall) {
        window.failureDetail(tooSmall ? *tooSmall : read.failure);
        transfer::ShowTransferError(window, kReadError);
        return {};
    }
    ReadResult result{true, 0};
    std::vector<std::string> lines;
    for (const SimItem& item : read.phonebook->items) {
        if (item.empty()) {
            continue;
        }
        const Windows1252Text name = Utf16ToWindows1252(item.name);
        const Windows1252Text number = Utf16ToWindows1252(item.number);
        if (!name.ok() || !number.ok()) {
            // A contact such as a name in Greek letters is no program entry; written back
            // with its characters replaced it would be wrong, so it stays out of the text.
            ++result.recordsLeftOut;
            continue;
        }
        lines.push_back(name.text + "=" + number.text);
    }
    program.assign(std::move(lines));
    return result;
}

} // namespace tarvik
