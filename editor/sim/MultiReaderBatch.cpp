#include "editor/sim/MultiReaderBatch.h"

#include <thread>

namespace tarvik {

MultiReaderBatch::MultiReaderBatch(BatchSettings settings, std::vector<CardSeat> readers,
                                   ReadersObserver& observer, JobLog* log)
    : settings_(std::move(settings)), readers_(std::move(readers)), observer_(observer),
      work_(
          settings_, log,
          [this](std::size_t reader, const CardJob& job) { observer_.cardEnded(reader, job); },
          [this] {
              for (const CardSeat& seat : readers_) {
                  seat.presence.cancel();
              }
          }) {}

BatchSummary MultiReaderBatch::run() {
    {
        std::vector<std::jthread> workers;
        workers.reserve(readers_.size());
        for (std::size_t reader = 0; reader < readers_.size(); ++reader) {
            workers.emplace_back([this, reader] { serve(reader); });
        }
    }
    BatchSummary summary = work_.summary();
    if (!readers_.empty() && summary.lostReaders.size() == readers_.size()) {
        summary.readerFailed = true;
        if (summary.error.empty()) {
            summary.error = "no card reader is left";
        }
    }
    return summary;
}

void MultiReaderBatch::serve(std::size_t reader) {
    const CardSeat& seat = readers_[reader];
    const auto tell = [&](ReaderPhase phase, int card) { observer_.phase(reader, phase, card); };
    const auto lost = [&] {
        work_.readerLost(seat.presence.readerName(), seat.presence.failure());
        tell(ReaderPhase::Lost, 0);
    };
    const auto rewrite = [this](const std::string& iccid) {
        return observer_.rewriteSameCard(iccid);
    };
    while (!work_.over()) {
        tell(ReaderPhase::WaitingForCard, 0);
        const PresenceWait in = seat.presence.waitFor(true);
        if (in == PresenceWait::Failed) {
            return lost();
        }
        if (in == PresenceWait::Cancelled) {
            break;
        }
        const std::optional<BatchWork::Claim> claim =
            work_.claim([&] { tell(ReaderPhase::WaitingForSite, 0); });
        if (!claim) {
            break;
        }
        tell(ReaderPhase::Writing, claim->card);
        const CardAttempt attempt = ProgramCard(
            seat, settings_, settings_.programs[claim->program],
            [&](const std::string& iccid) { return work_.admit(reader, iccid, rewrite); },
            [&] { tell(ReaderPhase::Verifying, claim->card); });
        seat.port.dropConnection();
        work_.finish(reader, *claim, attempt);
        if (work_.over()) {
            break;
        }
        tell(ReaderPhase::WaitingForRemoval, claim->card);
        const PresenceWait out = seat.presence.waitFor(false);
        if (out == PresenceWait::Failed) {
            return lost();
        }
        if (out == PresenceWait::Cancelled) {
            break;
        }
    }
    tell(ReaderPhase::Finished, 0);
}

} // namespace tarvik
