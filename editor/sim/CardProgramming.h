#pragma once

#include "editor/sim/CardBatch.h"
#include "editor/sim/CardJob.h"
#include "editor/sim/CardPort.h"
#include "editor/sim/CardPresence.h"
#include "editor/sim/TransferWindow.h"

#include <functional>
#include <optional>
#include <string>

namespace tarvik {

// What a run does with the card now in a reader, told by its ICCID.
enum class CardAdmission {
    Write,  // new to the run, or put back and to be written again
    Skip,   // put back and not to be written again: the card has no job
    Refuse, // the same card is in another reader's hands now: refused, with a job that says so
};

// The reader a card is programmed in: its card, its presence and its progress window.
struct CardSeat {
    CardPort& port;
    CardPresence& presence;
    TransferWindow& window;
};

// How programming one card went.
struct CardAttempt {
    std::optional<CardJob> job; // nothing when the card was skipped
    // Why the backup before the write could not be saved: every card after would fail
    // alike. Empty when it was saved or not asked for.
    std::string backupError;
};

// Programs the card in the seat's reader: connects, gets CHV1 out of the way with the
// settings' PIN, asks `admit` about the card's ICCID, writes the program as Write SIM does
// (the backup first), and reads back the records the write changed. `verifying` is called
// as the read-back starts. The job's time is when the card ended.
CardAttempt ProgramCard(const CardSeat& seat, const BatchSettings& settings,
                        const BatchProgram& program,
                        const std::function<CardAdmission(const std::string&)>& admit,
                        const std::function<void()>& verifying);

} // namespace tarvik
