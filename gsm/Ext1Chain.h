#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gsm {

// EF EXT1 records (GSM 11.11 §10.5.10) held side by side in one buffer, a 13-byte slot each.
inline constexpr std::size_t kExt1SlotSize = 13;
inline constexpr std::size_t kExt1Slots = 255;
inline constexpr std::size_t kExt1BufferSize = kExt1SlotSize * kExt1Slots; // 3,315

using Ext1Buffer = std::array<std::uint8_t, kExt1BufferSize>;

inline constexpr std::uint8_t kNoExtension = 0xFF;
// Most digits a number takes from its extension chain when read.
inline constexpr std::size_t kMaxExtensionDigits = 127;

// Chains of extension records in a 13-byte-slot buffer. Identifiers are record numbers
// (slot + 1) from 1 to 254; FF is no record, so a 255th record never joins a chain. A chain
// ends at FF, at an identifier outside 1 ... count, or where it meets a slot it has already
// passed.

// The 13 bytes of slot `slot` (below kExt1Slots), which holds record slot + 1.
std::span<std::uint8_t, kExt1SlotSize> SlotOf(Ext1Buffer& buffer, std::size_t slot);
std::span<const std::uint8_t, kExt1SlotSize> SlotOf(const Ext1Buffer& buffer, std::size_t slot);

// The digits of the chain starting at `firstId`, at most kMaxExtensionDigits of them;
// empty when `firstId` names no extension record.
std::u16string ReadExtensionChain(const Ext1Buffer& buffer, int count, std::uint8_t firstId);

// Frees the slots of the chain starting at `firstId` (all bytes FF) and gives their
// identifiers in chain order. Stops at a slot that is already free; frees nothing when
// `firstId` names no extension record.
std::vector<std::uint8_t> ReleaseExtensionChain(Ext1Buffer& buffer, int count,
                                                std::uint8_t firstId);

// Stores digits in free slots, 20 a slot, linked in order; digits beyond the free slots
// are dropped. The free slots named in `preferred` are taken first, in that order, then
// the others from the first slot up: a number rewritten unchanged over the chain it had
// thus lands in the very same records, and neither the phonebook record nor the extension
// records need writing again. Returns the first slot's identifier, or FF when nothing was
// stored.
std::uint8_t StoreExtensionChain(Ext1Buffer& buffer, int count, std::u16string_view digits,
                                 std::span<const std::uint8_t> preferred = {});

} // namespace gsm
