#pragma once

#include "editor/sim/CardFacts.h"
#include "editor/sim/CardRecords.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvik {

// Everything `tarvik-cli card` and Device > Card information… say about the card.
struct CardReport {
    CardFacts card;
    std::optional<std::string> iccid;
    // Nothing when the phonebook could not be selected.
    std::optional<PhonebookGeometry> phonebook;
    std::optional<PinFacts> pin;
    bool shortMessages = false;
    bool ownNumbers = false;
};

// Asks the connected card, through SimAccess. Reads nothing a PIN protects when the PIN is
// needed and was not given: the phonebook's place and geometry come from the selection.
CardReport ReadCardReport();

// One line of the report: a label and its value, as both front ends show them.
struct ReportLine {
    std::string label;
    std::string value;
};

// The report as lines, in the order shown: reader, ATR, kind, ICCID, phonebook and its
// geometry, PIN, short messages and own numbers, and the note on a second phonebook.
std::vector<ReportLine> CardReportLines(const CardReport& report);

// Texts of the report's parts, for the JSON output too.
std::string KindText(CardKind kind);
std::string PlaceText(const CardFacts& card);
std::string AtrText(const std::vector<std::uint8_t>& atr);

// The note when a UICC also holds a local USIM phonebook that was not written; empty
// otherwise.
std::string SecondPhonebookNote(const CardFacts& card);

} // namespace tarvik
