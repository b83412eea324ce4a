#include "editor/cli/ReadersTerminal.h"

#include <chrono>
#include <istream>
#include <ostream>

namespace tarvik::cli {

ReadersTerminal::ReadersTerminal(std::vector<std::string> readers, std::istream& in,
                                 std::ostream& err, bool rewrite)
    : in_(in), err_(err), rewrite_(rewrite) {
    for (std::string& name : readers) {
        readers_.push_back({std::move(name)});
    }
}

void ReadersTerminal::write(std::size_t reader, const std::string& text) {
    const std::lock_guard lock(outputMutex_);
    err_ << '[' << readers_.at(reader).name << "] " << text << '\n' << std::flush;
}

void ReadersTerminal::phase(std::size_t reader, ReaderPhase phase, int card) {
    {
        const std::lock_guard lock(stateMutex_);
        Reader& state = readers_.at(reader);
        state.phase = phase;
        state.card = card;
    }
    const std::string number = "card " + std::to_string(card);
    switch (phase) {
    case ReaderPhase::WaitingForCard:
        write(reader, "Insert a card");
        break;
    case ReaderPhase::WaitingForSite:
        write(reader, "The card waits: every site left is on a card in another reader");
        break;
    case ReaderPhase::Writing:
        write(reader, "Writing " + number);
        break;
    case ReaderPhase::Verifying:
        break;
    case ReaderPhase::WaitingForRemoval:
        write(reader, "Take " + number + " out");
        break;
    case ReaderPhase::Finished:
        write(reader, "Done");
        break;
    case ReaderPhase::Lost:
        write(reader, "The reader is gone");
        break;
    }
}

void ReadersTerminal::cardEnded(std::size_t reader, const CardJob& job) {
    int card = 0;
    {
        const std::lock_guard lock(stateMutex_);
        card = readers_.at(reader).card;
        anyFailed_ = anyFailed_ || job.outcome != CardOutcome::Ok;
    }
    std::string text = "Card " + std::to_string(card) +
                       (job.row ? " (site row " + std::to_string(*job.row) + ")" : "") +
                       ", ICCID " + job.iccid.value_or("unknown") + ": " +
                       std::string(OutcomeWord(job.outcome));
    if (job.outcome == CardOutcome::Ok) {
        text += ", " + std::to_string(job.changedRecords) + " records changed";
    } else if (!job.detail.empty()) {
        text += " (" + job.detail + ")";
    }
    if (job.backup) {
        text += "; SIM backup: " + job.backup->string();
    }
    write(reader, text);
}

bool ReadersTerminal::rewriteSameCard(const std::string& iccid) {
    const std::lock_guard lock(outputMutex_);
    if (rewrite_) {
        return true;
    }
    err_ << "The card with ICCID " << iccid
         << " was programmed in this run already. Write it again? [y/N] " << std::flush;
    std::string answer;
    std::getline(in_, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

std::string ReadersTerminal::leftInHand() const {
    const std::lock_guard lock(stateMutex_);
    std::string lines;
    for (const Reader& reader : readers_) {
        const std::string card = "card " + std::to_string(reader.card);
        std::string how;
        switch (reader.phase) {
        case ReaderPhase::Writing:
            how = card + " was being written and may hold part of its program; the backup " +
                  "taken before the write is listed by 'tarvik-cli backups'";
            break;
        case ReaderPhase::Verifying:
            how = card + " was written but not read back";
            break;
        case ReaderPhase::WaitingForSite:
            how = "the card in it was not touched";
            break;
        case ReaderPhase::WaitingForRemoval:
            how = card + " was done";
            break;
        case ReaderPhase::WaitingForCard:
        case ReaderPhase::Finished:
            how = "no card in hand";
            break;
        case ReaderPhase::Lost:
            how = "the reader was gone";
            break;
        }
        lines += "reader '" + reader.name + "': " + how + '\n';
    }
    return lines;
}

bool ReadersTerminal::cleanStop() const {
    const std::lock_guard lock(stateMutex_);
    for (const Reader& reader : readers_) {
        if (reader.phase == ReaderPhase::Writing || reader.phase == ReaderPhase::Verifying) {
            return false;
        }
    }
    return !anyFailed_;
}

void ReadersTerminal::say(const std::string& line) {
    // A question may hold the lock while it waits for an answer: say it all the same.
    const bool locked = outputMutex_.try_lock_for(std::chrono::milliseconds(200));
    err_ << "tarvik-cli: " << line << '\n' << std::flush;
    if (locked) {
        outputMutex_.unlock();
    }
}

} // namespace tarvik::cli
