#include "editor/sim/testing/MemoryCardPort.h"

#include <algorithm>

namespace tarvik::testing {
namespace {

constexpr std::size_t kNumberBytes = 14;
constexpr std::size_t kFieldLimit = 64;

} // namespace

MemoryCardPort::MemoryCardPort(int records, int recordLength, int ext1Records)
    : adn(static_cast<std::size_t>(records),
          RecordBytes(static_cast<std::size_t>(recordLength), 0xFF)),
      ext1(static_cast<std::size_t>(ext1Records), RecordBytes(kExt1RecordLength, 0xFF)),
      recordLength_(recordLength) {}

RecordBytes MemoryCardPort::bytesOf(const SimItem& item) const {
    RecordBytes bytes(static_cast<std::size_t>(recordLength_), 0xFF);
    const std::size_t nameBytes = bytes.size() - kNumberBytes;
    for (std::size_t i = 0; i < item.name.size() && i < nameBytes; ++i) {
        bytes[i] = static_cast<std::uint8_t>(item.name[i]);
    }
    for (std::size_t i = 0; i < item.number.size() && i < kNumberBytes; ++i) {
        bytes[nameBytes + i] = static_cast<std::uint8_t>(item.number[i]);
    }
    return bytes;
}

SimItem MemoryCardPort::itemOf(const RecordBytes& bytes) {
    SimItem item;
    const std::size_t nameBytes = bytes.size() - std::min(bytes.size(), kNumberBytes);
    for (std::size_t i = 0; i < nameBytes && bytes[i] != 0xFF; ++i) {
        item.name += static_cast<char16_t>(bytes[i]);
    }
    for (std::size_t i = nameBytes; i < bytes.size() && bytes[i] != 0xFF; ++i) {
        item.number += static_cast<char16_t>(bytes[i]);
    }
    return item;
}

void MemoryCardPort::put(int index, const SimItem& item) {
    adn.at(static_cast<std::size_t>(index)) = bytesOf(item);
}

SimItem MemoryCardPort::item(int index) const {
    return itemOf(adn.at(static_cast<std::size_t>(index)));
}

std::vector<SimItem> MemoryCardPort::items() const {
    std::vector<SimItem> all;
    for (const RecordBytes& record : adn) {
        all.push_back(itemOf(record));
    }
    return all;
}

void MemoryCardPort::connect() {
    if (!connected_ && !pulled) {
        connected_ = true;
        ++connections;
    }
}

CardAccess MemoryCardPort::access() {
    return usable() ? state : CardAccess::NotFound;
}

bool MemoryCardPort::disablePin(std::string_view given) {
    if (!usable() || state != CardAccess::NeedsPin) {
        return false;
    }
    if (given == pin) {
        state = CardAccess::Ready;
        pinAttempts = 3;
        return true;
    }
    if (--pinAttempts == 0) {
        state = CardAccess::Blocked;
    }
    return false;
}

int MemoryCardPort::pinRemaining() {
    return usable() ? pinAttempts : 0;
}

void MemoryCardPort::dropConnection() {
    connected_ = false;
    selected_ = false;
}

std::optional<std::string> MemoryCardPort::iccid() {
    return usable() ? iccidDigits : std::nullopt;
}

std::optional<PhonebookGeometry> MemoryCardPort::selectPhonebook() {
    if (!usable()) {
        return std::nullopt;
    }
    selected_ = true;
    ++selections;
    pendingExt1_ = ext1;
    return PhonebookGeometry{static_cast<int>(adn.size()), recordLength_,
                             static_cast<int>(ext1.size())};
}

std::optional<SimItem> MemoryCardPort::readItem(int index) {
    if (!usable() || !selected_ || !inRange(index) || unreadableRecord == index) {
        return std::nullopt;
    }
    return item(index);
}

std::optional<RecordBytes> MemoryCardPort::readRecord(int index) {
    if (!usable() || !selected_ || !inRange(index) || unreadableRecord == index) {
        return std::nullopt;
    }
    return adn[static_cast<std::size_t>(index)];
}

std::vector<RecordBytes> MemoryCardPort::extensionRecords() {
    return usable() && selected_ ? ext1 : std::vector<RecordBytes>{};
}

bool MemoryCardPort::update() {
    if (updatesBeforePull == 0) {
        pulled = true;
        return false;
    }
    if (updatesBeforePull > 0) {
        --updatesBeforePull;
    }
    return true;
}

bool MemoryCardPort::writeItem(int index, std::u16string_view name, std::u16string_view number) {
    if (!usable() || !selected_ || !inRange(index)) {
        return false;
    }
    SimItem item{std::u16string(name.substr(0, kFieldLimit)),
                 std::u16string(number.substr(0, kFieldLimit))};
    if (!item.number.empty() && item.number.front() == u'+') {
        item.number.erase(0, 1);
    }
    return writeRecord(index, bytesOf(item));
}

bool MemoryCardPort::writeRecord(int index, std::span<const std::uint8_t> bytes) {
    if (!usable() || !selected_ || !inRange(index) ||
        bytes.size() != static_cast<std::size_t>(recordLength_)) {
        return false;
    }
    RecordBytes& record = adn[static_cast<std::size_t>(index)];
    if (std::ranges::equal(record, bytes)) {
        return true;
    }
    if (!update()) {
        return false;
    }
    record.assign(bytes.begin(), bytes.end());
    updatedRecords.push_back(index);
    return true;
}

bool MemoryCardPort::replaceExtensionRecords(std::span<const RecordBytes> records) {
    if (!usable() || !selected_ || records.size() > ext1.size()) {
        return false;
    }
    std::copy(records.begin(), records.end(), pendingExt1_.begin());
    return true;
}

bool MemoryCardPort::flush() {
    if (!usable() || !selected_) {
        return false;
    }
    for (std::size_t i = 0; i < ext1.size(); ++i) {
        if (ext1[i] == pendingExt1_[i]) {
            continue;
        }
        if (!update()) {
            return false;
        }
        ext1[i] = pendingExt1_[i];
        ++ext1Writes;
    }
    return true;
}

} // namespace tarvik::testing
