#include "editor/sim/CardBatch.h"

#include "editor/core/FormatCount.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"

#include <ctime>

namespace tarvik {
namespace {

// How long a card that stopped answering is given to be reported gone: longer than two
// looks of the card service at its readers.
constexpr std::chrono::milliseconds kNoticeRemoval{1500};

} // namespace

void CardBatch::Stop() {
    stopRequested_ = true;
    presence_.cancel();
}

BatchSummary CardBatch::Run() {
    BatchSummary summary;
    std::size_t site = 0;
    const auto over = [&] {
        if (stopRequested_) {
            summary.stopped = true;
            return true;
        }
        return !summary.error.empty() || (settings_.count && summary.cards >= *settings_.count) ||
               (settings_.perSite ? site >= settings_.programs.size() : settings_.programs.empty());
    };
    while (!over()) {
        card_ = summary.cards + 1;
        observer_.phase(BatchPhase::WaitingForCard, card_);
        const PresenceWait in = presence_.waitFor(true);
        if (in == PresenceWait::Failed) {
            summary.error = presence_.failure();
            summary.readerFailed = true;
            break;
        }
        if (in == PresenceWait::Cancelled) {
            stopRequested_ = true;
            continue;
        }
        observer_.phase(BatchPhase::Writing, card_);
        const BatchProgram& program = settings_.programs[settings_.perSite ? site : 0];
        const std::optional<CardJob> job = ProgramCard(program, summary);
        port_.dropConnection();
        if (job) {
            ++summary.cards;
            if (job->outcome == CardOutcome::Ok) {
                ++summary.cardsOk;
                // A site whose card failed goes to the next card, so every site gets one.
                site += settings_.perSite ? 1 : 0;
            }
            if (log_ != nullptr && !log_->append(*job)) {
                summary.error = "the job log cannot be written";
            }
            observer_.cardEnded(*job);
        }
        if (over()) {
            break;
        }
        observer_.phase(BatchPhase::WaitingForRemoval, card_);
        const PresenceWait out = presence_.waitFor(false);
        if (out == PresenceWait::Failed) {
            summary.error = presence_.failure();
            summary.readerFailed = true;
        } else if (out == PresenceWait::Cancelled) {
            stopRequested_ = true;
        }
    }
    return summary;
}

std::optional<CardJob> CardBatch::ProgramCard(const BatchProgram& program, BatchSummary& summary) {
    CardJob job;
    job.reader = presence_.readerName();
    job.program = settings_.programName;
    job.row = program.row;
    const auto ended = [&job](CardOutcome outcome, std::string detail) {
        job.outcome = outcome;
        job.detail = std::move(detail);
        job.time = std::time(nullptr);
        return job;
    };
    port_.connect();
    switch (port_.access()) {
    case CardAccess::Ready:
        break;
    case CardAccess::NotFound:
        if (presence_.goneWithin(kNoticeRemoval)) {
            return ended(CardOutcome::CardRemoved, "the card was taken out");
        }
        return ended(CardOutcome::SimNotFound, std::string(kSimNotFound));
    case CardAccess::Blocked:
        return ended(CardOutcome::CardBlocked, std::string(kSimBlocked));
    case CardAccess::NeedsPin:
        if (!settings_.pin) {
            return ended(CardOutcome::PinRefused, "the SIM asks for its PIN and none was given");
        }
        if (!port_.disablePin(*settings_.pin)) {
            return ended(CardOutcome::PinRefused,
                         FormatCount(kWrongPinFormat, port_.pinRemaining()));
        }
        break;
    }
    job.iccid = port_.iccid();
    if (job.iccid) {
        if (seen_.contains(*job.iccid) && !observer_.rewriteSameCard(*job.iccid)) {
            return std::nullopt;
        }
        seen_.insert(*job.iccid);
    }
    const CardOutcome outcome = WriteAndVerify(program, job, summary);
    return ended(outcome, job.detail);
}

CardOutcome CardBatch::WriteAndVerify(const BatchProgram& program, CardJob& job,
                                      BatchSummary& summary) {
    const WriteResult written =
        SimWriteAll(port_, window_, program.lines, settings_.deleteAll, settings_.backups);
    job.backup = written.backupPath;
    job.changedRecords = written.changedRecords;
    if (written.backupFailed) {
        // Every card after would fail the same way.
        summary.backupFailed = true;
        summary.error = "the SIM backup cannot be saved: " + written.backupError;
        job.detail = summary.error + "; nothing was written";
        return CardOutcome::WriteError;
    }
    if (written.writeError && CardGone()) {
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

    observer_.phase(BatchPhase::Verifying, card_);
    // A new connection, so that the records come from the card and not from what the
    // library remembers of the write.
    port_.dropConnection();
    port_.connect();
    if (port_.access() != CardAccess::Ready) {
        job.detail = "the card cannot be read back";
        return port_.access() == CardAccess::NotFound ? CardOutcome::CardRemoved
                                                      : CardOutcome::VerifyFailed;
    }
    // The records the write changed must read back as written; the others were read
    // moments before and left alone. A name longer than the card's records hold comes
    // back cut, and a number without its "+".
    if (!port_.selectPhonebook()) {
        job.detail = "the SIM phonebook cannot be selected";
        return CardGone() ? CardOutcome::CardRemoved : CardOutcome::VerifyFailed;
    }
    for (const PlannedWrite& write : written.changed) {
        const std::optional<SimItem> read = port_.readItem(write.index);
        if (!read) {
            job.detail = "record " + std::to_string(write.index + 1) + " cannot be read back";
            return CardGone() ? CardOutcome::CardRemoved : CardOutcome::VerifyFailed;
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

bool CardBatch::CardGone() {
    return presence_.goneWithin(kNoticeRemoval);
}

} // namespace tarvik
