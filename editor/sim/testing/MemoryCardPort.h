#pragma once

#include "editor/sim/CardPort.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvik::testing {

// A card in memory behind the card port, for tests of what is built on the port. Each
// record holds its text and its bytes. The bytes are this class's own coding (the name's
// characters, then the number's, one byte each, FF after), not the card library's: the
// transfers only move bytes and compare them. Like the card library, a write of what a
// record holds already is not counted as an update, and a number loses its leading "+".
class MemoryCardPort final : public CardPort {
public:
    explicit MemoryCardPort(int records = 100, int recordLength = 28, int ext1Records = 10);

    // The card.
    std::vector<RecordBytes> adn;
    std::vector<RecordBytes> ext1;
    std::optional<std::string> iccidDigits = "8949000000000000017";
    CardAccess state = CardAccess::Ready;
    std::string pin = "1234";
    int pinAttempts = 3;

    // Faults: the card is pulled out once this many records were updated (each ADN
    // update and each EXT1 record the flush writes counts); this record cannot be read.
    int updatesBeforePull = -1;
    std::optional<int> unreadableRecord;
    bool pulled = false;

    // What happened: ADN record indexes updated, in order; EXT1 records written; selections.
    std::vector<int> updatedRecords;
    int ext1Writes = 0;
    int selections = 0;
    int connections = 0;

    // Puts text in a record as writeItem would.
    void put(int index, const SimItem& item);
    // A record's text as readItem gives it.
    SimItem item(int index) const;
    // The text of every record.
    std::vector<SimItem> items() const;

    // This class's bytes of a record's text, and back.
    RecordBytes bytesOf(const SimItem& item) const;
    static SimItem itemOf(const RecordBytes& bytes);

    void connect() override;
    CardAccess access() override;
    bool disablePin(std::string_view pin) override;
    int pinRemaining() override;
    void dropConnection() override;
    std::optional<std::string> iccid() override;
    std::optional<PhonebookGeometry> selectPhonebook() override;
    std::optional<SimItem> readItem(int index) override;
    std::optional<RecordBytes> readRecord(int index) override;
    std::vector<RecordBytes> extensionRecords() override;
    bool writeItem(int index, std::u16string_view name, std::u16string_view number) override;
    bool writeRecord(int index, std::span<const std::uint8_t> bytes) override;
    bool replaceExtensionRecords(std::span<const RecordBytes> records) override;
    bool flush() override;

private:
    bool usable() const { return connected_ && !pulled; }
    bool inRange(int index) const { return index >= 0 && index < static_cast<int>(adn.size()); }
    // Counts an update; false (and the card is pulled) when the fault says so.
    bool update();

    int recordLength_;
    bool connected_ = false;
    bool selected_ = false;
    std::vector<RecordBytes> pendingExt1_;
};

} // namespace tarvik::testing
