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

// The editor's one door to the card library. The library keeps a single card connection
// for the whole process, so the state kept here (initialised, connected) is process-wide
// too. Everything runs on one thread.
//
// Calling order: SimConnect, then SimIsConnected, the PIN calls and one transfer;
// SimDisconnect once, when the editor closes. The transfers reach these through
// QuenlibCardPort.

// Initialises the library once and connects to the card; does nothing while connected.
// A failure is not reported here: SimIsConnected tells.
void SimConnect();
// Closes the connection and finalises the library.
void SimDisconnect();
bool SimIsConnected();

// Whether CHV1 (the PIN) is enabled; nothing when the card cannot be asked (SimLastRefusal
// then says why).
std::optional<bool> SimPinEnabled();
// What the card's last refusal on this connection means.
CardRefusal SimLastRefusal();
// Presents the PIN (8-bit text) without changing whether it is asked for; true when the
// card accepted it.
bool SimVerifyPin(std::string_view pin);
// The PIN's state with both counters; nothing when the card cannot be asked.
std::optional<PinFacts> SimPinFacts();
// The kind of card, its reader and answer-to-reset, and where the phonebook was found (by
// the last SimSelectPhonebook); nothing when not connected.
std::optional<CardFacts> SimCardFacts();
// Whether the card has EF SMS and EF MSISDN where the library looks for them.
bool SimHasShortMessages();
bool SimHasOwnNumbers();
// Disables CHV1 with the PIN given as 8-bit text; true when the card accepted it.
bool SimDisablePin(std::string_view pin);
// CHV1 presentations remaining; 0 when the card cannot be asked.
int SimPinRemaining();

// Where the card stands for a read or a write, after SimConnect. A card that does not tell
// its PIN state because a PIN is needed first asks for it; one whose PIN is blocked is
// blocked; any other failure leaves the transfer to fail on its own and say so.
CardAccess QueryCardAccess();

// Reads the record at the 0-based index; nothing when the library could not read it.
std::optional<SimItem> SimReadItem(int index);

// ---- Used by the transfers (through QuenlibCardPort) ------------------------------------

// The digits of the card's ICCID; nothing when the card has none or it cannot be read.
std::optional<std::string> SimReadIccid();
// Selects the phonebook (loading its extension records) and gives its geometry; nothing
// when the selection failed.
std::optional<PhonebookGeometry> SimSelectPhonebook();
// The bytes of the record at the 0-based index, of the record length the selection found.
std::optional<RecordBytes> SimReadRecord(int index);
// The extension records as the selection loaded them.
std::vector<RecordBytes> SimExtensionRecords();
// Writes name and number (each cut to 64 units) to the record at the 0-based index;
// false when the library refused.
bool SimWriteItem(int index, std::u16string_view name, std::u16string_view number);
// Writes bytes (the record's length of them) to the record at the 0-based index.
bool SimWriteRecord(int index, std::span<const std::uint8_t> bytes);
// Replaces the extension records that the next SimFlush writes; false when there are
// more of them, or other lengths, than the selected phonebook has.
bool SimReplaceExtensionRecords(std::span<const RecordBytes> records);
// Writes the changed extension records; false when that failed.
bool SimFlush();
// Forgets a connection that failed in the middle of a transfer (the card was pulled out,
// say), so that the next SimConnect connects afresh instead of reusing a dead handle.
void SimDropConnection();

} // namespace tarvik
