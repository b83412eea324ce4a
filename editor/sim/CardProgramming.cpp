#include "editor/sim/CardProgramming.h"

#include "editor/core/FormatCount.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"

#include <chrono>
#include <ctime>

namespace tarvik {
namespace {

// How long a card that stopped answering is given to be reported gone: longer than two
// looks of the card service at its readers.
constexpr std::chrono::milliseconds noticeRemoval{1500};

// Writes and reads back; the job's outcome and detail say how that went.
CardOutcome WriteAndVerify(const CardSeat& seat, const BatchSettings& settings,
                           const BatchProgram& program, CardJob& job, std::string& backupError,
                           const std::function<void()>& verifying) {
    CardPort& port = seat.port;
    const auto gone = [&seat] { return seat.presence.goneWithin(noticeRemoval); };
    const WriteResult written =
        SimWriteAll(port, seat.window, program.lines, settings.deleteAll, settings.backups);
    job.backup = written.backupPath;
    job.changedRecords = written.changedRecords;
    if (written.backupFailed) {
        backupError = "the SIM backup cannot be saved: " + written.backupError;
        job.detail = backupError + "; nothing was written";
        return CardOutcome::WriteError;
    }
    if (written.writeError && gone()) {
        job.detail = "the card was taken out during the write";
        return CardOutcome::CardRemoved;
    }
    if (written.linesLeftOver) {
        job.detail = "the program does not fit on the SIM";
        return CardOutcome::InsufficientSpace;
    }
    if (written.writeError) {
        job.detail = "a record cannot be written";
        return CardOutcome::WriteError;
    }

    verifying();
    // A new connection, so that the records come from the card and not from what the
    // library remembers of the write.
    port.dropConnection();
    port.connect();
    if (port.access() != CardAccess::Ready) {
        job.detail = "the card cannot be read back";
        return port.access() == CardAccess::NotFound ? CardOutcome::CardRemoved
                                                     : CardOutcome::VerifyFailed;
    }
    // The records the write changed must read back as written; the others were read
    // moments before and left alone. A name longer than the card's records hold comes
    // back cut, and a number without its "+".
    if (!port.selectPhonebook()) {
        job.detail = "the SIM phonebook cannot be selected";
        return gone() ? CardOutcome::CardRemoved : CardOutcome::VerifyFailed;
    }
    for (const PlannedWrite& write : written.changed) {
        const std::optional<SimItem> read = port.readItem(write.index);
        if (!read) {
            job.detail = "record " + std::to_string(write.index + 1) + " cannot be read back";
            return gone() ? CardOutcome::CardRemoved : CardOutcome::VerifyFailed;
        }
        const std::u16string_view number = write.item.number;
        if (!std::u16string_view(write.item.name).starts_with(read->name) ||
            (number.starts_with(u'+') ? number.substr(1) : number) != read->number) {
            job.detail = "record " + std::to_string(write.index + 1) +
                         " reads back otherwise than it was written";
            return CardOutcome::VerifyFailed;
        }
    }
    return CardOutcome::Ok;
}

} // namespace

CardAttempt ProgramCard(const CardSeat& seat, const BatchSettings& settings,
                        const BatchProgram& program,
                        const std::function<CardAdmission(const std::string&)>& admit,
                        const std::function<void()>& verifying) {
    CardAttempt attempt;
    CardJob job;
    job.reader = seat.presence.readerName();
    job.program = settings.programName;
    job.row = program.row;
    const auto ended = [&](CardOutcome outcome, std::string detail) {
        job.outcome = outcome;
        job.detail = std::move(detail);
        job.time = std::time(nullptr);
        attempt.job = std::move(job);
        return attempt;
    };
    CardPort& port = seat.port;
    port.connect();
    switch (port.access()) {
    case CardAccess::Ready:
        break;
    case CardAccess::NotFound:
        if (seat.presence.goneWithin(noticeRemoval)) {
            return ended(CardOutcome::CardRemoved, "the card was taken out");
        }
        return ended(CardOutcome::SimNotFound, std::string(kSimNotFound));
    case CardAccess::Blocked:
        return ended(CardOutcome::CardBlocked, std::string(kSimBlocked));
    case CardAccess::NeedsPin:
        if (!settings.pin) {
            return ended(CardOutcome::PinRefused, "the SIM asks for its PIN and none was given");
        }
        if (!port.disablePin(*settings.pin)) {
            return ended(CardOutcome::PinRefused,
                         FormatCount(kWrongPinFormat, port.pinRemaining()));
        }
        break;
    }
    job.iccid = port.iccid();
    if (job.iccid) {
        switch (admit(*job.iccid)) {
        case CardAdmission::Write:
            break;
        case CardAdmission::Skip:
            return attempt;
        case CardAdmission::Refuse:
            return ended(CardOutcome::DuplicateCard,
                         "the same card (ICCID) is being written in another reader");
        }
    }
    const CardOutcome outcome =
        WriteAndVerify(seat, settings, program, job, attempt.backupError, verifying);
    return ended(outcome, job.detail);
}

} // namespace tarvik
