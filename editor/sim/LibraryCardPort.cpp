#include "editor/sim/LibraryCardPort.h"

#include "editor/sim/LibraryCard.h"

namespace tarvik {

void LibraryCardPort::connect() {
    card_.connect();
}

CardAccess LibraryCardPort::access() {
    return card_.access();
}

bool LibraryCardPort::disablePin(std::string_view pin) {
    return card_.disablePin(pin);
}

int LibraryCardPort::pinRemaining() {
    return card_.pinRemaining();
}

void LibraryCardPort::dropConnection() {
    card_.dropConnection();
}

std::optional<std::string> LibraryCardPort::iccid() {
    return card_.readIccid();
}

std::optional<PhonebookGeometry> LibraryCardPort::selectPhonebook() {
    return card_.selectPhonebook();
}

std::optional<SimItem> LibraryCardPort::readItem(int index) {
    return card_.readItem(index);
}

std::optional<RecordBytes> LibraryCardPort::readRecord(int index) {
    return card_.readRecord(index);
}

std::vector<RecordBytes> LibraryCardPort::extensionRecords() {
    return card_.extensionRecords();
}

bool LibraryCardPort::writeItem(int index, std::u16string_view name, std::u16string_view number) {
    return card_.writeItem(index, name, number);
}

bool LibraryCardPort::writeRecord(int index, std::span<const std::uint8_t> bytes) {
    return card_.writeRecord(index, bytes);
}

bool LibraryCardPort::replaceExtensionRecords(std::span<const RecordBytes> records) {
    return card_.replaceExtensionRecords(records);
}

bool LibraryCardPort::flush() {
    return card_.flush();
}

} // namespace tarvik
