#pragma once

#include "editor/sim/CardPort.h"

namespace tarvik {

class LibraryCard;

// The card port over a card of the card library (a library session). The card outlives
// the port.
class LibraryCardPort : public CardPort {
public:
    explicit LibraryCardPort(LibraryCard& card) : card_(card) {}

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

protected:
    LibraryCard& card() { return card_; }

private:
    LibraryCard& card_;
};

} // namespace tarvik
