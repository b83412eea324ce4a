#include "editor/sim/RecordPlan.h"

#include "base/TextLines.h"
#include "base/Windows1252.h"
#include "editor/sim/CardText.h"
#include "program/ProgramEntries.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace tarvik {
namespace {

constexpr std::string_view kRftName = "RFT";

// The line without the blanks and control characters around it.
std::string_view TrimControls(std::string_view line) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!line.empty() && isBlank(line.front())) {
        line.remove_prefix(1);
    }
    while (!line.empty() && isBlank(line.back())) {
        line.remove_suffix(1);
    }
    return line;
}

// A program line as it goes to a record: the name upper-cased, name and number cut to 64.
struct RecordText {
    std::string name;
    std::string number;
};

RecordText SplitLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return {UpperAscii(line.substr(0, kCardFieldLimit)), {}};
    }
    return {UpperAscii(line.substr(0, std::min(equals, kCardFieldLimit))),
            std::string(line.substr(equals + 1, kCardFieldLimit))};
}

SimItem ToItem(const RecordText& record) {
    return {Windows1252ToUtf16(record.name), Windows1252ToUtf16(record.number)};
}

// The names the lines are written under, for telling foreign records apart.
std::vector<std::u16string> LineNames(std::span<const std::string> lines) {
    std::vector<std::u16string> names;
    for (const auto& line : lines) {
        const std::string_view trimmed = TrimControls(line);
        if (!trimmed.empty()) {
            names.push_back(Windows1252ToUtf16(SplitLine(trimmed).name));
        }
    }
    return names;
}

bool IsForeign(const SimItem& item, const std::vector<std::u16string>& lineNames) {
    if (item.name.empty() || item.number.empty()) {
        return false;
    }
    // A name that Windows-1252 cannot hold is no keyword and no line's name.
    const Windows1252Text name = Utf16ToWindows1252(item.name);
    if (name.ok() && IsProgramKeyword(name.text)) {
        return false;
    }
    return std::none_of(lineNames.begin(), lineNames.end(), [&](const std::u16string& line) {
        return SameNameIgnoringCase(line, item.name);
    });
}

} // namespace

bool IsForeignRecord(const SimItem& record, std::span<const std::string> lines) {
    return IsForeign(record, LineNames(lines));
}

RecordPlan PlanRecords(std::span<const SimItem> card, std::span<const std::string> lines,
                       bool deleteAll) {
    const int records = std::min(static_cast<int>(card.size()), kMaximumSimRecords);
    const auto lineCount = static_cast<int>(lines.size());
    const std::vector<std::u16string> lineNames =
        deleteAll ? std::vector<std::u16string>{} : LineNames(lines);

    RecordPlan plan;
    plan.after.assign(card.begin(), card.begin() + records);
    std::vector<bool> written(static_cast<std::size_t>(records), false);
    std::optional<SimItem> beyondCard; // the final write to index 97 on a smaller card

    int cursor = -1;
    std::optional<std::string> heldRft;
    // Steps 0 .. records-1 fill the records in order; the final step settles index 97.
    for (int i = 0; i <= records; ++i) {
        ++cursor;
        const bool finalStep = i == records;
        if (!deleteAll && !finalStep && IsForeign(card[static_cast<std::size_t>(i)], lineNames)) {
            --cursor;
            continue;
        }

        RecordText record;
        const std::string_view line = cursor < lineCount ? TrimControls(lines[cursor]) : "";
        bool linePending = false;
        if (!line.empty()) {
            record = SplitLine(line);
            if (record.name == kRftName) {
                // The "RFT" entry waits for the final step; its place stays blank.
                heldRft = record.number;
                record = {};
            } else {
                linePending = true;
            }
        }
        int target = i;
        if (finalStep) {
            target = kRftRecordIndex;
            if (heldRft) {
                record = {std::string(kRftName), *heldRft};
            }
        }
        if (!line.empty() && (i == kRftRecordIndex || i == kFreeRecordIndex)) {
            // The line moves on to the next free record; this one stays blank.
            record = {};
            --cursor;
        } else if (finalStep && heldRft && linePending) {
            // Index 97 goes to "RFT": the line in hand was not written and is left over.
            --cursor;
        }

        if (target < records) {
            plan.after[static_cast<std::size_t>(target)] = ToItem(record);
            written[static_cast<std::size_t>(target)] = true;
        } else {
            beyondCard = ToItem(record);
        }
    }
    plan.linesLeftOver = std::max(0, lineCount - 1 - cursor);

    for (int i = 0; i < records; ++i) {
        const auto at = static_cast<std::size_t>(i);
        // Blanking a record that is empty already changes nothing anyone reads.
        if (written[at] && !(plan.after[at].empty() && card[at].empty())) {
            plan.writes.push_back({i, plan.after[at]});
        }
    }
    if (beyondCard) {
        plan.writes.push_back({kRftRecordIndex, *beyondCard});
    }
    return plan;
}

} // namespace tarvik
