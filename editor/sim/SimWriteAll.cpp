#include "base/TextLines.h"
#include "base/Windows1252.h"
#include "editor/sim/CardText.h"
#include "editor/sim/SimAccess.h"
#include "editor/sim/SimMessages.h"
#include "editor/sim/SimTransfer.h"
#include "editor/sim/TransferSteps.h"
#include "program/ProgramEntries.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A program line as it goes to a record: the name upper-cased, the number cut to 64.
struct RecordText {
    std::string name;
    std::string number;
};

RecordText SplitLine(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return {UpperAscii(line), {}};
    }
    return {UpperAscii(line.substr(0, equals)),
            std::string(line.substr(equals + 1, kCardFieldLimit))};
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

// A record that belongs to someone else: it has a name and a number, and its name is
// neither a program keyword nor the name of a line. A name that Windows-1252 cannot hold
// can be neither.
bool IsForeignRecord(const SimItem& item, const std::vector<std::u16string>& lineNames) {
    if (item.name.empty() || item.number.empty()) {
        return false;
    }
    const Windows1252Text name = Utf16ToWindows1252(item.name);
    if (name.ok() && IsProgramKeyword(name.text)) {
        return false;
    }
    return std::none_of(lineNames.begin(), lineNames.end(), [&](const std::u16string& line) {
        return SameNameIgnoringCase(line, item.name);
    });
}

} // namespace

WriteResult SimWriteAll(TransferWindow& window, std::span<const std::string> lines,
                        bool deleteAll) {
    transfer::CaptionKeeper keeper(window);
    WriteResult result;
    const std::optional<int> count = SimSelectPhonebook();
    if (!count) {
        // Nothing was written, so nothing must look written.
        SimDropConnection();
        window.failureDetail("the SIM phonebook cannot be selected");
        transfer::ShowTransferError(window, kWriteError);
        result.writeError = true;
        return result;
    }
    if (*count < kMinimumSimRecords) {
        window.failureDetail("the SIM phonebook has " + std::to_string(*count) +
                             " records, fewer than " + std::to_string(kMinimumSimRecords));
        transfer::ShowTransferError(window, kInsufficientSimSpace);
        result.linesLeftOver = true;
        return result;
    }

    const int records = std::min(*count, kMaximumSimRecords);
    const auto lineCount = static_cast<int>(lines.size());
    const std::vector<std::u16string> lineNames =
        deleteAll ? std::vector<std::u16string>{} : LineNames(lines);
    int cursor = -1;
    std::optional<std::string> heldRft;
    // Steps 0 .. records-1 write the records in order; the final step writes index 97.
    for (int i = 0; i <= records; ++i) {
        ++cursor;
        const bool finalStep = i == records;
        if (!finalStep) {
            transfer::ShowProgress(window, i, *count);
        }
        if (!deleteAll) {
            const std::optional<SimItem> item = SimReadItem(i);
            if (item && IsForeignRecord(*item, lineNames)) {
                --cursor;
                continue;
            }
        }

        RecordText record;
        const std::string_view line = cursor < lineCount ? TrimControls(lines[cursor]) : "";
        bool linePending = false;
        if (!line.empty()) {
            record = SplitLine(line);
            if (record.name == kRftName) {
                // The "RFT" entry waits for the final step; its place is written blank.
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
            // Index 97 goes to "RFT": the line in hand was not written and must count as
            // left over.
            --cursor;
        }

        if (!SimWriteItem(target, Windows1252ToUtf16(record.name),
                          Windows1252ToUtf16(record.number))) {
            window.failureDetail("record " + std::to_string(target + 1) + " cannot be written");
            transfer::ShowTransferError(window, kWriteError);
            result.writeError = true;
            break;
        }
    }
    if (cursor < lineCount - 1) {
        window.failureDetail(std::to_string(lineCount - 1 - cursor) +
                             " program lines did not fit on the SIM");
        transfer::ShowTransferError(window, kInsufficientSimSpace);
        result.linesLeftOver = true;
    }
    if (!SimFlush() && !result.writeError) {
        // Numbers longer than 20 digits would stay cut short on the card.
        window.failureDetail("the SIM extension records cannot be written");
        transfer::ShowTransferError(window, kWriteError);
        result.writeError = true;
    }
    if (result.writeError) {
        SimDropConnection();
    }
    return result;
}

} // namespace tarvik
