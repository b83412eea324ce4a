#include "editor/sim/PhonebookRead.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/TransferSteps.h"

#include <ctime>
#include <string>

namespace tarvik {
namespace {

// Whether writing item changes a record that holds `now`; the library stores numbers
// without a leading "+".
bool Changes(const SimItem& item, const SimItem& now) {
    const std::u16string_view number = item.number;
    return item.name != now.name ||
           (number.starts_with(u'+') ? number.substr(1) : number) != now.number;
}

} // namespace

WriteResult SimWriteAll(CardPort& port, TransferWindow& window, std::span<const std::string> lines,
                        bool deleteAll, const BackupStore* backups) {
    transfer::CaptionKeeper keeper(window);
    WriteResult result;
    const PhonebookRead read = ReadPhonebook(
        port, window, backups != nullptr ? RecordContent::TextAndBytes : RecordContent::Text);
    if (!read.phonebook) {
        // Nothing was written, so nothing must look written.
        window.failureDetail(read.failure);
        transfer::ShowTransferError(window, kWriteError);
        result.writeError = true;
        return result;
    }
    const CardPhonebook& card = *read.phonebook;
    // The backup comes first, whatever the card's size: the card as it was is kept even
    // when no program is written to it.
    if (backups != nullptr) {
        const SimBackup backup{card.iccid, std::time(nullptr), card.geometry.adnRecordLength,
                               card.adn, card.ext1};
        BackupStore::Saved saved = backups->save(backup);
        if (!saved.path) {
            result.backupFailed = true;
            result.backupError = std::move(saved.error);
            return result;
        }
        result.backupPath = std::move(saved.path);
    }
    if (const auto tooSmall = TooSmallForAProgram(card.geometry)) {
        window.failureDetail(*tooSmall);
        transfer::ShowTransferError(window, kInsufficientSimSpace);
        result.linesLeftOver = true;
        return result;
    }

    const RecordPlan plan = PlanRecords(card.items, lines, deleteAll);
    const int records = static_cast<int>(card.items.size());
    for (const PlannedWrite& write : plan.writes) {
        if (write.index < records) {
            transfer::ShowProgress(window, write.index, card.geometry.adnRecords);
        }
        if (!port.writeItem(write.index, write.item.name, write.item.number)) {
            window.failureDetail("record " + std::to_string(write.index + 1) +
                                 " cannot be written");
            transfer::ShowTransferError(window, kWriteError);
            result.writeError = true;
            break;
        }
        if (write.index >= records || Changes(write.item, card.items[write.index])) {
            ++result.changedRecords;
            result.changed.push_back(write);
        }
    }
    if (plan.linesLeftOver > 0) {
        window.failureDetail(std::to_string(plan.linesLeftOver) +
                             " program lines did not fit on the SIM");
        transfer::ShowTransferError(window, kInsufficientSimSpace);
        result.linesLeftOver = true;
    }
    if (!port.flush() && !result.writeError) {
        // Numbers longer than 20 digits would stay cut short on the card.
        window.failureDetail("the SIM extension records cannot be written");
        transfer::ShowTransferError(window, kWriteError);
        result.writeError = true;
    }
    if (result.writeError) {
        port.dropConnection();
    }
    return result;
}

} // namespace tarvik
