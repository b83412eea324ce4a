#include "editor/sim/CardBatch.h"

#include "editor/sim/CardProgramming.h"

namespace tarvik {

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
    CardAttempt attempt = tarvik::ProgramCard(
        {port_, presence_, window_}, settings_, program,
        [this](const std::string& iccid) {
            if (seen_.contains(iccid) && !observer_.rewriteSameCard(iccid)) {
                return CardAdmission::Skip;
            }
            seen_.insert(iccid);
            return CardAdmission::Write;
        },
        [this] { observer_.phase(BatchPhase::Verifying, card_); });
    if (!attempt.backupError.empty()) {
        // Every card after would fail the same way.
        summary.backupFailed = true;
        summary.error = attempt.backupError;
    }
    return std::move(attempt.job);
}

} // namespace tarvik
