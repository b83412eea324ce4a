#pragma once

#include "editor/sim/CardRecords.h"
#include "program/LanguageTable.h"

#include <span>
#include <string>
#include <vector>

namespace tarvik {

// How an entry of the card fares in a write.
enum class EntryChangeKind {
    Added,          // a program entry the card does not have
    Changed,        // an entry whose number changes
    Removed,        // an entry the program no longer has
    Moved,          // the same entry in another record
    ContactDeleted, // a contact that is no part of the program, blanked by delete mode
};

struct EntryChange {
    EntryChangeKind kind = EntryChangeKind::Added;
    SimItem before; // Changed, Removed, Moved, ContactDeleted
    SimItem after;  // Added, Changed, Moved
    int beforeIndex = -1;
    int afterIndex = -1;
};

// What a write of a program would do to the card, entry by entry. Entries are matched by
// name (the n-th record of a name before with the n-th after), so that a line put in the
// middle of the program shows as one entry added rather than every record after it changed.
struct WritePreview {
    std::vector<EntryChange> changes; // in record order
    // Whether the write would change any record at all: false when the card already holds
    // exactly what the write would leave.
    bool cardChanges = false;
    int linesLeftOver = 0;

    // Entries added, changed or removed.
    int entriesChanging() const;
    int contactsDeleted() const;
};

// The preview of writing lines (8-bit program text) in the mode over the card's records,
// as PlanRecords plans it. Records are compared as the card will read them back: the
// library stores numbers without a leading "+".
WritePreview PreviewWrite(std::span<const SimItem> card, std::span<const std::string> lines,
                          bool deleteAll);

// "4 entries change, 2 contacts that are not part of the program will be deleted", or
// "The SIM already holds this program", each part translated through the table; UTF-8.
std::string PreviewSummary(const WritePreview& preview, const LanguageTable& table);

// One line of the list below the summary, UTF-8: "changed  TL2=0612345678 -> 0612345679
// (record 13)". The words are translated through the table.
std::string ChangeLine(const EntryChange& change, const LanguageTable& table);

} // namespace tarvik
