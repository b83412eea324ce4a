#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// The editor's one door to the card library. The library keeps a single card connection
// for the whole process, so the state kept here (initialised, connected) is process-wide
// too. Everything runs on one thread.
//
// Calling order: SimConnect, then SimIsConnected, the PIN calls and one transfer;
// SimDisconnect once, when the editor closes.

// Initialises the library once and connects to the card; does nothing while connected.
// A failure is not reported here: SimIsConnected tells.
void SimConnect();
// Closes the connection and finalises the library.
void SimDisconnect();
bool SimIsConnected();

// Whether CHV1 (the PIN) is enabled. False also when the card cannot be asked: the
// transfer that follows then fails on its own and says so.
bool SimPinEnabled();
// Disables CHV1 with the PIN given as 8-bit text; true when the card accepted it.
bool SimDisablePin(std::string_view pin);
// CHV1 presentations remaining; 0 when the card cannot be asked.
int SimPinRemaining();

// Where a card stands for a read or a write, after SimConnect.
enum class CardAccess {
    Ready,    // connected, and CHV1 is not in the way
    NotFound, // no connection: no library, no reader or no card
    NeedsPin, // CHV1 enabled with presentations remaining: disable it first
    Blocked,  // CHV1 enabled with no presentation remaining
};
CardAccess QueryCardAccess();

// One phonebook record as the card holds it (UTF-16 text).
struct SimItem {
    std::u16string name;
    std::u16string number;
};

// Reads the record at the 0-based index; nothing when the library could not read it.
std::optional<SimItem> SimReadItem(int index);

// ---- Used by the transfers ------------------------------------------------------------

// Selects the phonebook (loading its extension records) and gives its record count;
// nothing when the selection failed.
std::optional<int> SimSelectPhonebook();
// Writes name and number (each cut to 64 units) to the record at the 0-based index;
// false when the library refused.
bool SimWriteItem(int index, std::u16string_view name, std::u16string_view number);
// Writes the changed extension records; false when that failed.
bool SimFlush();
// Forgets a connection that failed in the middle of a transfer (the card was pulled out,
// say), so that the next SimConnect connects afresh instead of reusing a dead handle.
void SimDropConnection();

} // namespace tarvik
