#include "editor/sim/RestorePreview.h"

#include "base/Utf8.h"
#include "base/Windows1252.h"
#include "editor/sim/SimMessages.h"
#include "gsm/Ext1Chain.h"
#include "gsm/AlphaCoding.h"
#include "gsm/NumberCoding.h"

#include <algorithm>

namespace tarvik {
namespace {

constexpr std::string_view kSimHoldsBackup = "The SIM already holds this backup";

// The extension records in the slots the card library keeps them in.
gsm::Ext1Buffer Ext1Slots(const SimBackup& backup) {
    gsm::Ext1Buffer buffer;
    buffer.fill(0xFF);
    const std::size_t count = std::min(backup.ext1.size(), gsm::kExt1Slots);
    for (std::size_t slot = 0; slot < count; ++slot) {
        const RecordBytes& record = backup.ext1[slot];
        const auto target = gsm::SlotOf(buffer, slot);
        std::copy_n(record.begin(), std::min(record.size(), target.size()), target.begin());
    }
    return buffer;
}

// A record as the card library reads it: a name unless the alpha field starts with FF, up
// to its first 00; the number with the digits of its extension chain.
SimItem RecordItem(std::span<const std::uint8_t> record, const gsm::Ext1Buffer& ext1,
                   int ext1Count) {
    SimItem item;
    if (record.size() < gsm::kNumberBlockSize) {
        return item;
    }
    const std::size_t alphaLength = record.size() - gsm::kNumberBlockSize;
    if (alphaLength > 0 && record[0] != 0xFF) {
        const std::u16string name = gsm::DecodeAlpha(record.first(alphaLength));
        item.name = name.substr(0, name.find(u'\0'));
    }
    item.number = gsm::DecodeNumberBlock(record.subspan(alphaLength));
    item.number += gsm::ReadExtensionChain(ext1, ext1Count, record.back());
    return item;
}

} // namespace

std::vector<SimItem> BackupItems(const SimBackup& backup) {
    const gsm::Ext1Buffer ext1 = Ext1Slots(backup);
    const int ext1Count = static_cast<int>(std::min(backup.ext1.size(), gsm::kExt1Slots));
    std::vector<SimItem> items;
    items.reserve(backup.adn.size());
    for (const RecordBytes& record : backup.adn) {
        items.push_back(RecordItem(record, ext1, ext1Count));
    }
    return items;
}

WritePreview PreviewRestore(std::span<const SimItem> card, const SimBackup& backup) {
    const std::vector<SimItem> restored = BackupItems(backup);
    WritePreview preview;
    const std::size_t records = std::max(card.size(), restored.size());
    for (std::size_t i = 0; i < records; ++i) {
        const SimItem before = i < card.size() ? card[i] : SimItem{};
        const SimItem after = i < restored.size() ? restored[i] : SimItem{};
        if (before == after) {
            continue;
        }
        const int index = static_cast<int>(i);
        if (!before.empty() && !after.empty() && before.name == after.name) {
            preview.changes.push_back({EntryChangeKind::Changed, before, after, index, index});
            continue;
        }
        if (!before.empty()) {
            preview.changes.push_back({EntryChangeKind::Removed, before, {}, index, -1});
        }
        if (!after.empty()) {
            preview.changes.push_back({EntryChangeKind::Added, {}, after, -1, index});
        }
    }
    preview.cardChanges = !preview.changes.empty();
    return preview;
}

std::string RestoreSummary(const WritePreview& preview, const LanguageTable& table) {
    if (!preview.cardChanges) {
        return Windows1252ToUtf8(TranslateText(table, kSimHoldsBackup));
    }
    return PreviewSummary(preview, table);
}

std::string BackupEntryLine(const SimItem& item, int index, const LanguageTable& table) {
    return Utf16ToUtf8(item.name) + "=" + Utf16ToUtf8(item.number) + " (" +
           Windows1252ToUtf8(TranslateText(table, kRecordWord)) + " " + std::to_string(index + 1) +
           ")";
}

} // namespace tarvik
