#include "editor/sim/PhonebookRead.h"

#include "editor/sim/RecordPlan.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/TransferSteps.h"

#include <algorithm>

namespace tarvik {
namespace {

PhonebookRead Failed(CardPort& port, std::string failure) {
    port.dropConnection();
    PhonebookRead read;
    read.failure = std::move(failure);
    return read;
}

} // namespace

PhonebookRead ReadPhonebook(CardPort& port, TransferWindow& window, RecordContent content) {
    const bool withBytes = content == RecordContent::TextAndBytes;
    CardPhonebook phonebook;
    // EF ICCID lies outside the phonebook's folder: read first, the selection then stays.
    if (withBytes) {
        phonebook.iccid = port.iccid();
    }
    const std::optional<PhonebookGeometry> geometry = port.selectPhonebook();
    if (!geometry) {
        return Failed(port, "the SIM phonebook cannot be selected");
    }
    phonebook.geometry = *geometry;
    if (withBytes) {
        phonebook.ext1 = port.extensionRecords();
    }

    const int records = std::min(geometry->adnRecords, kMaximumSimRecords);
    for (int i = 0; i < records; ++i) {
        transfer::ShowProgress(window, i, geometry->adnRecords);
        std::optional<SimItem> item = port.readItem(i);
        if (!item) {
            return Failed(port, "record " + std::to_string(i + 1) + " cannot be read");
        }
        phonebook.items.push_back(std::move(*item));
        if (withBytes) {
            // Right after the item read: no second read of the record.
            std::optional<RecordBytes> bytes = port.readRecord(i);
            if (!bytes) {
                return Failed(port, "record " + std::to_string(i + 1) + " cannot be read");
            }
            phonebook.adn.push_back(std::move(*bytes));
        }
    }
    PhonebookRead read;
    read.phonebook = std::move(phonebook);
    return read;
}

std::optional<std::string> TooSmallForAProgram(const PhonebookGeometry& geometry) {
    if (geometry.adnRecords >= kMinimumSimRecords) {
        return std::nullopt;
    }
    return "the SIM phonebook has " + std::to_string(geometry.adnRecords) +
           " records, fewer than " + std::to_string(kMinimumSimRecords);
}

PhonebookRead ReadPhonebookForPreview(CardPort& port, TransferWindow& window) {
    transfer::CaptionKeeper keeper(window);
    PhonebookRead read = ReadPhonebook(port, window, RecordContent::Text);
    if (read.phonebook) {
        if (auto tooSmall = TooSmallForAProgram(read.phonebook->geometry)) {
            read.failure = std::move(*tooSmall);
            read.phonebook.reset();
        }
    }
    if (!read.phonebook) {
        window.failureDetail(read.failure);
        transfer::ShowTransferError(window, kReadError);
    }
    return read;
}

} // namespace tarvik
