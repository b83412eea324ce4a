#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// How a card of a run over many cards ended.
enum class CardOutcome {
    Ok,                // written and read back as planned
    VerifyFailed,      // written, but the card read back otherwise
    WriteError,        // a record could not be written
    InsufficientSpace, // the program did not fit on the card
    SimNotFound,       // the reader holds a card that cannot be reached as a SIM
    PinRefused,        // the card asked for its PIN and none or a wrong one was given
    CardBlocked,       // the card's PIN is blocked
    CardRemoved,       // the card was taken out before it was done
    DuplicateCard,     // another reader held the same card (ICCID) at the time: not written
};

// The word the job log gives an outcome: "ok", "verify-failed", "card-removed", ...
std::string_view OutcomeWord(CardOutcome outcome);

// One card of a run, as the job log records it.
struct CardJob {
    std::time_t time = 0; // when the card was done
    std::string reader;
    std::optional<std::string> iccid; // nothing when the card's is unknown
    std::string program;              // the program file
    std::optional<int> row;           // the site's row, when the run has sites
    CardOutcome outcome = CardOutcome::Ok;
    int changedRecords = 0;
    std::optional<std::filesystem::path> backup; // the backup taken before the write
    std::string detail; // why it did not end ok, in words for a person; not logged
};

} // namespace tarvik
