#include "editor/sim/BatchWork.h"

namespace tarvik {

BatchWork::BatchWork(const BatchSettings& settings, JobLog* log,
                     std::function<void(std::size_t, const CardJob&)> cardLogged,
                     std::function<void()> endWaits)
    : settings_(settings), log_(log), cardLogged_(std::move(cardLogged)),
      endWaits_(std::move(endWaits)) {
    if (settings_.perSite) {
        for (std::size_t site = 0; site < settings_.programs.size(); ++site) {
            freeSites_.insert(site);
        }
    }
}

bool BatchWork::overLocked() const {
    return stopped_ || !summary_.error.empty() || settings_.programs.empty() ||
           (settings_.count && counted_ >= *settings_.count) ||
           (settings_.perSite && sitesDone_ >= settings_.programs.size());
}

bool BatchWork::over() const {
    const std::lock_guard lock(mutex_);
    return overLocked();
}

std::optional<BatchWork::Claim> BatchWork::claim(const std::function<void()>& waiting) {
    std::unique_lock lock(mutex_);
    const auto free = [this] {
        return overLocked() || ((!settings_.count || counted_ + inHand_ < *settings_.count) &&
                                (!settings_.perSite || !freeSites_.empty()));
    };
    if (!free() && waiting) {
        waiting();
    }
    changed_.wait(lock, free);
    if (overLocked()) {
        return std::nullopt;
    }
    Claim claim;
    if (settings_.perSite) {
        claim.program = *freeSites_.begin();
        freeSites_.erase(freeSites_.begin());
    }
    ++inHand_;
    claim.card = ++cardsClaimed_;
    return claim;
}

CardAdmission BatchWork::admit(std::size_t reader, const std::string& iccid,
                               const std::function<bool(const std::string&)>& rewrite) {
    std::unique_lock lock(mutex_);
    for (const auto& [other, held] : inReader_) {
        if (other != reader && held == iccid) {
            return CardAdmission::Refuse;
        }
    }
    if (seen_.contains(iccid)) {
        // The question may wait for a person: the other readers go on meanwhile.
        lock.unlock();
        const bool again = rewrite(iccid);
        lock.lock();
        if (!again) {
            return CardAdmission::Skip;
        }
    }
    seen_.insert(iccid);
    inReader_[reader] = iccid;
    return CardAdmission::Write;
}

void BatchWork::finish(std::size_t reader, const Claim& claim, const CardAttempt& attempt) {
    std::unique_lock lock(mutex_);
    --inHand_;
    inReader_.erase(reader);
    const bool ok = attempt.job && attempt.job->outcome == CardOutcome::Ok;
    if (settings_.perSite) {
        // A site whose card failed goes to the next card, so every site gets one.
        if (ok) {
            ++sitesDone_;
        } else {
            freeSites_.insert(claim.program);
        }
    }
    if (!attempt.backupError.empty()) {
        summary_.backupFailed = true;
        summary_.error = attempt.backupError;
    }
    if (attempt.job) {
        ++summary_.cards;
        summary_.cardsOk += ok ? 1 : 0;
        // A card refused for being in another reader was not written: no card of --count.
        counted_ += attempt.job->outcome == CardOutcome::DuplicateCard ? 0 : 1;
        if (log_ != nullptr && !log_->append(*attempt.job)) {
            summary_.error = "the job log cannot be written";
        }
        cardLogged_(reader, *attempt.job);
    }
    changed_.notify_all();
    endWaitsIfOver(lock);
}

void BatchWork::readerLost(const std::string& reader, const std::string& why) {
    const std::lock_guard lock(mutex_);
    summary_.lostReaders.push_back(reader + ": " + why);
}

void BatchWork::stop() {
    std::unique_lock lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
    endWaitsIfOver(lock);
}

void BatchWork::endWaitsIfOver(std::unique_lock<std::mutex>& lock) {
    if (waitsEnded_ || !overLocked()) {
        return;
    }
    waitsEnded_ = true;
    lock.unlock();
    endWaits_();
}

BatchSummary BatchWork::summary() const {
    const std::lock_guard lock(mutex_);
    BatchSummary summary = summary_;
    summary.stopped = stopped_;
    return summary;
}

} // namespace tarvik
