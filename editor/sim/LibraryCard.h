#pragma once

#include "editor/sim/CardFacts.h"
#include "editor/sim/CardPort.h"
#include "editor/sim/CardRecords.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

class LibraryCalls;

// The card behind one library session, in the editor's terms: the connection, the PIN, the
// card's facts and the phonebook's records. The library keeps the connection; this keeps
// whether the session is open and connected, and the geometry of the phonebook last
// selected. Used by one thread at a time.
class LibraryCard {
public:
    explicit LibraryCard(LibraryCalls& calls) : calls_(calls) {}

    // Opens the session once and connects; does nothing while connected. A failure is not
    // reported here: isConnected() tells.
    void connect();
    // Closes the connection and the session.
    void disconnect();
    bool isConnected() const { return connected_; }
    // Forgets a connection that failed in the middle of a transfer, so that the next
    // connect() connects afresh instead of reusing a dead handle.
    void dropConnection();

    std::optional<bool> pinEnabled();
    CardRefusal lastRefusal();
    bool verifyPin(std::string_view pin);
    std::optional<PinFacts> pinFacts();
    std::optional<CardFacts> cardFacts();
    bool hasShortMessages();
    bool hasOwnNumbers();
    bool disablePin(std::string_view pin);
    int pinRemaining();
    CardAccess access();

    std::optional<std::string> readIccid();
    std::optional<PhonebookGeometry> selectPhonebook();
    std::optional<SimItem> readItem(int index);
    std::optional<RecordBytes> readRecord(int index);
    std::vector<RecordBytes> extensionRecords();
    bool writeItem(int index, std::u16string_view name, std::u16string_view number);
    bool writeRecord(int index, std::span<const std::uint8_t> bytes);
    bool replaceExtensionRecords(std::span<const RecordBytes> records);
    bool flush();

private:
    LibraryCalls& calls_;
    bool opened_ = false;
    bool connected_ = false;
    // The geometry of the phonebook last selected, for the raw record calls.
    int adnRecordLength_ = 0;
    int ext1Records_ = 0;
};

// The process's default session, over the library's exports.
LibraryCard& DefaultLibraryCard();

} // namespace tarvik
