#pragma once

#include "editor/sim/CardRecords.h"
#include "editor/sim/SimBackup.h"
#include "editor/sim/WritePreview.h"
#include "program/LanguageTable.h"

#include <span>
#include <string>
#include <vector>

namespace tarvik {

// The phonebook a backup holds, one item a record, as the card library reads a record back:
// the name from the alpha identifier, the number from the number block and its chain of
// extension records. A record the card would read as empty gives an empty item.
std::vector<SimItem> BackupItems(const SimBackup& backup);

// What restoring the backup would do to the card whose records read as `card`. A restore
// puts every record back where it was, so records are compared place by place: an entry
// whose record is empty on one side is added or removed, an entry of the same name with
// another number is changed, and another name in the same record is one entry removed and
// one added.
WritePreview PreviewRestore(std::span<const SimItem> card, const SimBackup& backup);

// "The SIM already holds this backup" when the restore would change nothing, otherwise the
// write's summary ("4 entries change"); UTF-8, translated through the table.
std::string RestoreSummary(const WritePreview& preview, const LanguageTable& table);

// One entry of a backup, UTF-8: "TL2=0612345678 (record 13)", the word translated.
std::string BackupEntryLine(const SimItem& item, int index, const LanguageTable& table);

} // namespace tarvik
