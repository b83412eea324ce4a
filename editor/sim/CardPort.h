#pragma once

#include "editor/sim/CardRecords.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvik {

// Where a card stands for a read or a write, after a connection attempt.
enum class CardAccess {
    Ready,    // connected, and CHV1 is not in the way
    NotFound, // no connection: no library, no reader or no card
    NeedsPin, // CHV1 enabled with presentations remaining: disable it first
    Blocked,  // CHV1 enabled with no presentation remaining
};

// What the transfers need of a card: its connection, its identity and its phonebook. The
// card library is one implementation (QuenlibCardPort); tests use a card in memory. Indexes
// are 0-based record indexes.
class CardPort {
public:
    virtual ~CardPort() = default;

    // Connects unless connected; access() then tells whether that worked.
    virtual void connect() = 0;
    virtual CardAccess access() = 0;
    // Disables CHV1 with the PIN (8-bit text); true when the card accepted it.
    virtual bool disablePin(std::string_view pin) = 0;
    // CHV1 presentations remaining; 0 when the card cannot be asked.
    virtual int pinRemaining() = 0;
    // Forgets a connection that failed in the middle of a transfer, so that the next
    // connect() starts afresh.
    virtual void dropConnection() = 0;

    // The digits of the card's ICCID; nothing when the card has none or it cannot be read.
    virtual std::optional<std::string> iccid() = 0;

    // Selects the phonebook and loads its extension records; nothing when that failed.
    virtual std::optional<PhonebookGeometry> selectPhonebook() = 0;
    // A record as text (the extension chain followed), read from the card.
    virtual std::optional<SimItem> readItem(int index) = 0;
    // A record's bytes; right after readItem of the same record, as that read found them.
    virtual std::optional<RecordBytes> readRecord(int index) = 0;
    // The extension records as the selection loaded them, kExt1RecordLength bytes each.
    virtual std::vector<RecordBytes> extensionRecords() = 0;
    // Writes name and number (each cut to 64 units); nothing is sent for a record that
    // would stay as it is. False when the card refused.
    virtual bool writeItem(int index, std::u16string_view name, std::u16string_view number) = 0;
    // Writes a record's bytes (as many as the record has); false when the card refused.
    virtual bool writeRecord(int index, std::span<const std::uint8_t> bytes) = 0;
    // Replaces the extension records that the next flush writes.
    virtual bool replaceExtensionRecords(std::span<const RecordBytes> records) = 0;
    // Writes the extension records that changed; false when that failed.
    virtual bool flush() = 0;
};

} // namespace tarvik
