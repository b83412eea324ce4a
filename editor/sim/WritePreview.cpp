#include "editor/sim/WritePreview.h"

#include "base/Utf8.h"
#include "base/Windows1252.h"
#include "editor/core/FormatCount.h"
#include "editor/sim/RecordPlan.h"
#include "editor/sim/SimMessages.h"

#include <algorithm>
#include <map>
#include <utility>

namespace tarvik {
namespace {

// A record as the card will read it back: the library stores numbers without "+".
SimItem ReadBack(SimItem item) {
    if (!item.number.empty() && item.number.front() == u'+') {
        item.number.erase(0, 1);
    }
    return item;
}

// Index of the record where a change shows.
int ShownIndex(const EntryChange& change) {
    return change.afterIndex >= 0 ? change.afterIndex : change.beforeIndex;
}

std::string Translated(const LanguageTable& table, std::string_view text) {
    return Windows1252ToUtf8(TranslateText(table, text));
}

std::string Counted(const LanguageTable& table, int count, std::string_view one,
                    std::string_view format) {
    return count == 1 ? Translated(table, one)
                      : Windows1252ToUtf8(FormatCount(TranslateText(table, format), count));
}

std::string EntryText(const SimItem& item) {
    return Utf16ToUtf8(item.name) + "=" + Utf16ToUtf8(item.number);
}

} // namespace

int WritePreview::entriesChanging() const {
    return static_cast<int>(std::count_if(changes.begin(), changes.end(), [](const auto& c) {
        return c.kind == EntryChangeKind::Added || c.kind == EntryChangeKind::Changed ||
               c.kind == EntryChangeKind::Removed;
    }));
}

int WritePreview::contactsDeleted() const {
    return static_cast<int>(std::count_if(changes.begin(), changes.end(), [](const auto& c) {
        return c.kind == EntryChangeKind::ContactDeleted;
    }));
}

WritePreview PreviewWrite(std::span<const SimItem> card, std::span<const std::string> lines,
                          bool deleteAll) {
    const RecordPlan plan = PlanRecords(card, lines, deleteAll);
    WritePreview preview;
    preview.linesLeftOver = plan.linesLeftOver;
    for (std::size_t i = 0; i < plan.after.size(); ++i) {
        preview.cardChanges = preview.cardChanges || ReadBack(plan.after[i]) != card[i];
    }
    // A write beyond the card's records (index 97 on a small card) changes it too, if only
    // by failing.
    preview.cardChanges =
        preview.cardChanges ||
        (!plan.writes.empty() && plan.writes.back().index >= static_cast<int>(plan.after.size()));

    // The entries before and after by name, each in record order.
    std::map<std::u16string, std::vector<int>> before;
    std::map<std::u16string, std::vector<int>> after;
    for (std::size_t i = 0; i < plan.after.size(); ++i) {
        if (!card[i].empty()) {
            before[card[i].name].push_back(static_cast<int>(i));
        }
        if (!plan.after[i].empty()) {
            after[plan.after[i].name].push_back(static_cast<int>(i));
        }
    }
    for (const auto& [name, indexes] : after) {
        const auto found = before.find(name);
        const std::size_t paired =
            found == before.end() ? 0 : std::min(indexes.size(), found->second.size());
        for (std::size_t k = 0; k < indexes.size(); ++k) {
            const int to = indexes[k];
            const SimItem written = ReadBack(plan.after[static_cast<std::size_t>(to)]);
            if (k >= paired) {
                preview.changes.push_back({EntryChangeKind::Added, {}, written, -1, to});
                continue;
            }
            const int from = found->second[k];
            const SimItem& old = card[static_cast<std::size_t>(from)];
            if (old.number != written.number) {
                preview.changes.push_back({EntryChangeKind::Changed, old, written, from, to});
            } else if (from != to) {
                preview.changes.push_back({EntryChangeKind::Moved, old, written, from, to});
            }
        }
    }
    for (const auto& [name, indexes] : before) {
        const auto found = after.find(name);
        const std::size_t paired = found == after.end() ? 0 : found->second.size();
        for (std::size_t k = paired; k < indexes.size(); ++k) {
            const int from = indexes[k];
            const SimItem& old = card[static_cast<std::size_t>(from)];
            const EntryChangeKind kind = IsForeignRecord(old, lines)
                                             ? EntryChangeKind::ContactDeleted
                                             : EntryChangeKind::Removed;
            preview.changes.push_back({kind, old, {}, from, -1});
        }
    }
    // In record order; within a record, what goes before what comes.
    const auto rank = [](const EntryChange& change) {
        switch (change.kind) {
        case EntryChangeKind::Removed:
        case EntryChangeKind::ContactDeleted:
            return 0;
        case EntryChangeKind::Changed:
        case EntryChangeKind::Moved:
            return 1;
        case EntryChangeKind::Added:
            break;
        }
        return 2;
    };
    std::stable_sort(preview.changes.begin(), preview.changes.end(),
                     [&](const EntryChange& a, const EntryChange& b) {
                         return std::pair(ShownIndex(a), rank(a)) <
                                std::pair(ShownIndex(b), rank(b));
                     });
    return preview;
}

std::string PreviewSummary(const WritePreview& preview, const LanguageTable& table) {
    std::vector<std::string> parts;
    if (const int changing = preview.entriesChanging(); changing > 0) {
        parts.push_back(Counted(table, changing, kOneEntryChanges, kEntriesChangeFormat));
    }
    const auto moving = static_cast<int>(
        std::count_if(preview.changes.begin(), preview.changes.end(),
                      [](const EntryChange& c) { return c.kind == EntryChangeKind::Moved; }));
    if (moving > 0) {
        parts.push_back(Counted(table, moving, kOneEntryMoves, kEntriesMoveFormat));
    }
    if (const int deleted = preview.contactsDeleted(); deleted > 0) {
        parts.push_back(Counted(table, deleted, kOneContactDeleted, kContactsDeletedFormat));
    }
    if (preview.linesLeftOver > 0) {
        parts.push_back(Windows1252ToUtf8(
            FormatCount(TranslateText(table, kLinesDoNotFitFormat), preview.linesLeftOver)));
    }
    if (parts.empty()) {
        return Translated(table, kSimHoldsProgram);
    }
    std::string summary = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i) {
        summary += ", " + parts[i];
    }
    return summary;
}

std::string ChangeLine(const EntryChange& change, const LanguageTable& table) {
    const std::string record = Translated(table, kRecordWord) + " ";
    const auto at = [&](int index) { return " (" + record + std::to_string(index + 1) + ")"; };
    switch (change.kind) {
    case EntryChangeKind::Added:
        return Translated(table, kChangeAdded) + ": " + EntryText(change.after) +
               at(change.afterIndex);
    case EntryChangeKind::Changed:
        return Translated(table, kChangeChanged) + ": " + EntryText(change.before) + " -> " +
               Utf16ToUtf8(change.after.number) + at(change.afterIndex);
    case EntryChangeKind::Removed:
        return Translated(table, kChangeRemoved) + ": " + EntryText(change.before) +
               at(change.beforeIndex);
    case EntryChangeKind::Moved:
        return Translated(table, kChangeMoved) + ": " + EntryText(change.before) + " (" + record +
               std::to_string(change.beforeIndex + 1) + " -> " +
               std::to_string(change.afterIndex + 1) + ")";
    case EntryChangeKind::ContactDeleted:
        return Translated(table, kChangeDeleted) + ": " + EntryText(change.before) +
               at(change.beforeIndex);
    }
    return {};
}

} // namespace tarvik
