#pragma once

#include "editor/sim/CardPort.h"
#include "editor/sim/CardRecords.h"
#include "editor/sim/TransferWindow.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// The card's phonebook as a transfer finds it before it changes anything.
struct CardPhonebook {
    std::optional<std::string> iccid; // nothing when the card's ICCID is unknown
    PhonebookGeometry geometry;
    // Records 0 to n-1 as text, n being the record count limited to 256.
    std::vector<SimItem> items;
    // Every record's bytes, EF ADN and EF EXT1, when they were asked for.
    std::vector<RecordBytes> adn;
    std::vector<RecordBytes> ext1;
};

// What reading the phonebook gave: the phonebook, or why not.
struct PhonebookRead {
    std::optional<CardPhonebook> phonebook;
    // Why the phonebook could not be read, in words for a person.
    std::string failure;
};

enum class RecordContent {
    Text,         // the records as text, for reading a program and planning a write
    TextAndBytes, // also their bytes and the card's ICCID, for a backup
};

// Selects the phonebook and reads every record in order, showing "SIM i / n" in the
// window's caption. Every record is read whatever the card's size: the phonebook is also
// the card as it was, which a backup must hold whole; whether it can take a program is
// the caller's question (TooSmallForAProgram). A connection that failed part way is
// dropped, so that the next command connects afresh.
PhonebookRead ReadPhonebook(CardPort& port, TransferWindow& window, RecordContent content);

// Why a phonebook of this geometry cannot hold a program (fewer than kMinimumSimRecords
// records), in words for a person; nothing when it can.
std::optional<std::string> TooSmallForAProgram(const PhonebookGeometry& geometry);

// The same as a transfer of its own, for a preview: the caption is put back afterwards,
// and a failure shows "Read Error" (with the reason as the failure detail). A phonebook
// too small for any program is such a failure.
PhonebookRead ReadPhonebookForPreview(CardPort& port, TransferWindow& window);

} // namespace tarvik
