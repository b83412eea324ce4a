#include "editor/sim/QuenlibCardPort.h"

#include "editor/sim/SimAccess.h"

namespace tarvik {

void QuenlibCardPort::connect() {
    SimConnect();
}

CardAccess QuenlibCardPort::access() {
    return QueryCardAccess();
}

bool QuenlibCardPort::disablePin(std::string_view pin) {
    return SimDisablePin(pin);
}

int QuenlibCardPort::pinRemaining() {
    return SimPinRemaining();
}

void QuenlibCardPort::dropConnection() {
    SimDropConnection();
}

std::optional<std::string> QuenlibCardPort::iccid() {
    return SimReadIccid();
}

std::optional<PhonebookGeometry> QuenlibCardPort::selectPhonebook() {
    return SimSelectPhonebook();
}

std::optional<SimItem> QuenlibCardPort::readItem(int index) {
    return SimReadItem(index);
}

std::optional<RecordBytes> QuenlibCardPort::readRecord(int index) {
    return SimReadRecord(index);
}

std::vector<RecordBytes> QuenlibCardPort::extensionRecords() {
    return SimExtensionRecords();
}

bool QuenlibCardPort::writeItem(int index, std::u16string_view name, std::u16string_view number) {
    return SimWriteItem(index, name, number);
}

bool QuenlibCardPort::writeRecord(int index, std::span<const std::uint8_t> bytes) {
    return SimWriteRecord(index, bytes);
}

bool QuenlibCardPort::replaceExtensionRecords(std::span<const RecordBytes> records) {
    return SimReplaceExtensionRecords(records);
}

bool QuenlibCardPort::flush() {
    return SimFlush();
}

} // namespace tarvik
