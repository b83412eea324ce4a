#include "editor/sim/SimRestore.h"

#include "editor/sim/PhonebookRead.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/TransferSteps.h"

#include <ctime>

namespace tarvik {
namespace {

std::string IccidText(const std::optional<std::string>& iccid) {
    return iccid ? *iccid : std::string("unknown");
}

RestoreResult Failed(RestoreOutcome outcome, std::string reason) {
    RestoreResult result;
    result.outcome = outcome;
    result.reason = std::move(reason);
    return result;
}

std::string RecordName(const char* file, std::size_t index) {
    return std::string(file) + " record " + std::to_string(index + 1);
}

// Reads the phonebook back from the card and compares it with the backup.
std::optional<std::string> Verify(CardPort& port, TransferWindow& window, const SimBackup& backup) {
    // A new selection reads the extension records from the card again and lets the record
    // reads reach the card rather than the library's memory of its own writes.
    const std::optional<PhonebookGeometry> geometry = port.selectPhonebook();
    if (!geometry) {
        return "the SIM phonebook cannot be selected again";
    }
    const std::vector<RecordBytes> ext1 = port.extensionRecords();
    for (std::size_t i = 0; i < backup.ext1.size(); ++i) {
        if (i >= ext1.size() || ext1[i] != backup.ext1[i]) {
            return RecordName("EXT1", i) + " does not hold what was written";
        }
    }
    for (std::size_t i = 0; i < backup.adn.size(); ++i) {
        transfer::ShowProgress(window, static_cast<int>(i), static_cast<int>(backup.adn.size()));
        const std::optional<RecordBytes> record = port.readRecord(static_cast<int>(i));
        if (!record) {
            return RecordName("ADN", i) + " cannot be read back";
        }
        if (*record != backup.adn[i]) {
            return RecordName("ADN", i) + " does not hold what was written";
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> GeometryMismatch(const SimBackup& backup,
                                            const PhonebookGeometry& card) {
    const auto backupAdn = static_cast<int>(backup.adn.size());
    const auto backupExt1 = static_cast<int>(backup.ext1.size());
    if (backupAdn != card.adnRecords || backup.adnRecordLength != card.adnRecordLength) {
        return "the backup holds " + std::to_string(backupAdn) + " phonebook records of " +
               std::to_string(backup.adnRecordLength) + " bytes, the SIM has " +
               std::to_string(card.adnRecords) + " of " + std::to_string(card.adnRecordLength);
    }
    if (backupExt1 != card.ext1Records) {
        return "the backup holds " + std::to_string(backupExt1) +
               " extension records, the SIM has " + std::to_string(card.ext1Records);
    }
    return std::nullopt;
}

RestoreResult SimRestore(CardPort& port, TransferWindow& window, const SimBackup& backup,
                         const RestoreOptions& options) {
    transfer::CaptionKeeper keeper(window);
    const PhonebookRead read = ReadPhonebook(port, window, RecordContent::TextAndBytes);
    if (!read.phonebook) {
        window.failureDetail(read.failure);
        transfer::ShowTransferError(window, kReadError);
        return Failed(RestoreOutcome::ReadFailed, read.failure);
    }
    const CardPhonebook& card = *read.phonebook;
    if (const auto mismatch = GeometryMismatch(backup, card.geometry)) {
        return Failed(RestoreOutcome::Refused, *mismatch);
    }
    if (backup.iccid != card.iccid && !options.anyCard) {
        return Failed(RestoreOutcome::OtherCard,
                      "the backup is of the SIM with ICCID " + IccidText(backup.iccid) +
                          ", this SIM has ICCID " + IccidText(card.iccid));
    }

    RestoreResult result;
    if (options.backups != nullptr) {
        const SimBackup before{card.iccid, std::time(nullptr), card.geometry.adnRecordLength,
                               card.adn, card.ext1};
        BackupStore::Saved saved = options.backups->save(before);
        if (!saved.path) {
            return Failed(RestoreOutcome::BackupFailed, saved.error);
        }
        result.backupPath = std::move(saved.path);
    }

    const auto fail = [&](RestoreOutcome outcome, std::string reason) {
        window.failureDetail(reason);
        transfer::ShowTransferError(window, kWriteError);
        port.dropConnection();
        result.outcome = outcome;
        result.reason = std::move(reason);
        return result;
    };
    for (std::size_t i = 0; i < backup.adn.size(); ++i) {
        transfer::ShowProgress(window, static_cast<int>(i), static_cast<int>(backup.adn.size()));
        if (!port.writeRecord(static_cast<int>(i), backup.adn[i])) {
            return fail(RestoreOutcome::WriteFailed, RecordName("ADN", i) + " cannot be written");
        }
    }
    if (!port.replaceExtensionRecords(backup.ext1) || !port.flush()) {
        return fail(RestoreOutcome::WriteFailed, "the SIM extension records cannot be written");
    }
    if (const auto difference = Verify(port, window, backup)) {
        return fail(RestoreOutcome::VerifyFailed, *difference);
    }
    result.outcome = RestoreOutcome::Restored;
    return result;
}

} // namespace tarvik
