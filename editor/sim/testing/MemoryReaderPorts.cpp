#include "editor/sim/testing/MemoryReaderPorts.h"

namespace tarvik::testing {

namespace {

// A port onto a card that the ports object keeps.
class BorrowedPort final : public CardPort {
public:
    explicit BorrowedPort(CardPort& card) : card_(card) {}

    void connect() override { card_.connect(); }
    CardAccess access() override { return card_.access(); }
    bool disablePin(std::string_view pin) override { return card_.disablePin(pin); }
    int pinRemaining() override { return card_.pinRemaining(); }
    void dropConnection() override { card_.dropConnection(); }
    std::optional<std::string> iccid() override { return card_.iccid(); }
    std::optional<PhonebookGeometry> selectPhonebook() override { return card_.selectPhonebook(); }
    std::optional<SimItem> readItem(int index) override { return card_.readItem(index); }
    std::optional<RecordBytes> readRecord(int index) override { return card_.readRecord(index); }
    std::vector<RecordBytes> extensionRecords() override { return card_.extensionRecords(); }
    bool writeItem(int index, std::u16string_view name, std::u16string_view number) override {
        return card_.writeItem(index, name, number);
    }
    bool writeRecord(int index, std::span<const std::uint8_t> bytes) override {
        return card_.writeRecord(index, bytes);
    }
    bool replaceExtensionRecords(std::span<const RecordBytes> records) override {
        return card_.replaceExtensionRecords(records);
    }
    bool flush() override { return card_.flush(); }

private:
    CardPort& card_;
};

} // namespace

MemoryCardPort& MemoryReaderPorts::card(const std::string& reader) {
    const std::lock_guard lock(mutex_);
    auto& card = cards_[reader];
    if (!card) {
        card = std::make_unique<MemoryCardPort>();
    }
    return *card;
}

std::unique_ptr<CardPort> MemoryReaderPorts::open(const std::string& reader) {
    MemoryCardPort& inReader = card(reader);
    const std::lock_guard lock(mutex_);
    opened_.push_back(reader);
    return std::make_unique<BorrowedPort>(inReader);
}

std::vector<std::string> MemoryReaderPorts::opened() const {
    const std::lock_guard lock(mutex_);
    return opened_;
}

} // namespace tarvik::testing
