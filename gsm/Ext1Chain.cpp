#include "gsm/Ext1Chain.h"

#include "gsm/NumberCoding.h"

#include <algorithm>
#include <bitset>
#include <span>

namespace gsm {

namespace {

// EXT1 record layout: type, digit-byte count, ten digit bytes, next identifier.
constexpr std::size_t kTypeByte = 0;
constexpr std::size_t kDigitCountByte = 1;
constexpr std::size_t kDigitsOffset = 2;
constexpr std::size_t kDigitBytes = 10;
constexpr std::size_t kNextByte = 12;
constexpr std::uint8_t kAdditionalData = 0x02;
constexpr std::uint8_t kFree = 0xFF;

// Identifiers 1 ... 254 name records; FF means "no extension" even when EF EXT1 has a 255th
// record, which no identifier can therefore name.
constexpr int kNamedRecords = 254;

// Whether `id` names one of the `count` extension records.
bool IsExtensionRecord(std::uint8_t id, int count) {
    return id >= 1 && id <= std::min(count, kNamedRecords);
}

// The records a chain may use: those an identifier can name.
int UsableCount(int count) {
    return std::clamp(count, 0, kNamedRecords);
}

} // namespace

std::span<std::uint8_t, kExt1SlotSize> SlotOf(Ext1Buffer& buffer, std::size_t slot) {
    return std::span<std::uint8_t, kExt1SlotSize>(buffer.data() + slot * kExt1SlotSize,
                                                  kExt1SlotSize);
}

std::span<const std::uint8_t, kExt1SlotSize> SlotOf(const Ext1Buffer& buffer, std::size_t slot) {
    return std::span<const std::uint8_t, kExt1SlotSize>(buffer.data() + slot * kExt1SlotSize,
                                                        kExt1SlotSize);
}

std::u16string ReadExtensionChain(const Ext1Buffer& buffer, int count, std::uint8_t firstId) {
    count = UsableCount(count);
    std::u16string digits;
    std::bitset<256> visited;
    std::uint8_t id = firstId;
    while (IsExtensionRecord(id, count) && !visited[id] && digits.size() < kMaxExtensionDigits) {
        visited[id] = true;
        const auto slot = SlotOf(buffer, id - 1u);
        digits += DecodeDigits(slot.subspan(kDigitsOffset, kDigitBytes));
        id = slot[kNextByte];
    }
    if (digits.size() > kMaxExtensionDigits) {
        digits.resize(kMaxExtensionDigits);
    }
    return digits;
}

std::vector<std::uint8_t> ReleaseExtensionChain(Ext1Buffer& buffer, int count,
                                                std::uint8_t firstId) {
    count = UsableCount(count);
    std::vector<std::uint8_t> freed;
    std::uint8_t id = firstId;
    while (IsExtensionRecord(id, count)) {
        const auto slot = SlotOf(buffer, id - 1u);
        if (slot[kTypeByte] == kFree) {
            break;
        }
        freed.push_back(id);
        id = slot[kNextByte];
        std::fill(slot.begin(), slot.end(), kFree);
    }
    return freed;
}

std::uint8_t StoreExtensionChain(Ext1Buffer& buffer, int count, std::u16string_view digits,
                                 std::span<const std::uint8_t> preferred) {
    count = UsableCount(count);
    // The slots in the order they are tried: the preferred ones, then all from the first.
    std::vector<int> order;
    for (const std::uint8_t id : preferred) {
        if (IsExtensionRecord(id, count)) {
            order.push_back(id - 1);
        }
    }
    for (int slotIndex = 0; slotIndex < count; ++slotIndex) {
        order.push_back(slotIndex);
    }
    std::uint8_t firstId = kNoExtension;
    std::uint8_t* previousNext = nullptr;
    for (const int slotIndex : order) {
        if (digits.empty()) {
            break;
        }
        const auto slot = SlotOf(buffer, static_cast<std::size_t>(slotIndex));
        if (slot[kTypeByte] != kFree) {
            continue;
        }
        const std::u16string_view part = digits.substr(0, kDigitsPerBlock);
        digits.remove_prefix(part.size());
        const auto bytes = EncodeDigits(part);
        std::fill(slot.begin(), slot.end(), kFree);
        slot[kTypeByte] = kAdditionalData;
        slot[kDigitCountByte] = static_cast<std::uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), slot.begin() + kDigitsOffset);
        const auto id = static_cast<std::uint8_t>(slotIndex + 1);
        if (previousNext != nullptr) {
            *previousNext = id;
        } else {
            firstId = id;
        }
        previousNext = &slot[kNextByte];
    }
    return firstId;
}

} // namespace gsm
