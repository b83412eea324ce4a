// The editor's default card: the library's default session, over its exports.
#include "editor/sim/SimAccess.h"

#include "editor/sim/LibraryCard.h"

namespace tarvik {

void SimConnect() {
    DefaultLibraryCard().connect();
}

void SimDisconnect() {
    DefaultLibraryCard().disconnect();
}

bool SimIsConnected() {
    return DefaultLibraryCard().isConnected();
}

std::optional<bool> SimPinEnabled() {
    return DefaultLibraryCard().pinEnabled();
}

CardRefusal SimLastRefusal() {
    return DefaultLibraryCard().lastRefusal();
}

bool SimVerifyPin(std::string_view pin) {
    return DefaultLibraryCard().verifyPin(pin);
}

std::optional<PinFacts> SimPinFacts() {
    return DefaultLibraryCard().pinFacts();
}

std::optional<CardFacts> SimCardFacts() {
    return DefaultLibraryCard().cardFacts();
}

bool SimHasShortMessages() {
    return DefaultLibraryCard().hasShortMessages();
}

bool SimHasOwnNumbers() {
    return DefaultLibraryCard().hasOwnNumbers();
}

bool SimDisablePin(std::string_view pin) {
    return DefaultLibraryCard().disablePin(pin);
}

int SimPinRemaining() {
    return DefaultLibraryCard().pinRemaining();
}

CardAccess QueryCardAccess() {
    return DefaultLibraryCard().access();
}

std::optional<SimItem> SimReadItem(int index) {
    return DefaultLibraryCard().readItem(index);
}

std::optional<std::string> SimReadIccid() {
    return DefaultLibraryCard().readIccid();
}

std::optional<PhonebookGeometry> SimSelectPhonebook() {
    return DefaultLibraryCard().selectPhonebook();
}

std::optional<RecordBytes> SimReadRecord(int index) {
    return DefaultLibraryCard().readRecord(index);
}

std::vector<RecordBytes> SimExtensionRecords() {
    return DefaultLibraryCard().extensionRecords();
}

bool SimWriteRecord(int index, std::span<const std::uint8_t> bytes) {
    return DefaultLibraryCard().writeRecord(index, bytes);
}

bool SimReplaceExtensionRecords(std::span<const RecordBytes> records) {
    return DefaultLibraryCard().replaceExtensionRecords(records);
}

bool SimWriteItem(int index, std::u16string_view name, std::u16string_view number) {
    return DefaultLibraryCard().writeItem(index, name, number);
}

bool SimFlush() {
    return DefaultLibraryCard().flush();
}

void SimDropConnection() {
    DefaultLibraryCard().dropConnection();
}

} // namespace tarvik
