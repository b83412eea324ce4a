#pragma once

#include <array>
#include <string_view>

namespace tarvik::cli {

// The exit statuses of tarvik-cli, the same for every command. Scripts rely on the values:
// a value never changes meaning, new ones are added at the end.
inline constexpr int kExitOk = 0;               // success (diff: the card already holds it)
inline constexpr int kExitDifferent = 1;        // diff only: a write would change the card
inline constexpr int kExitUsage = 2;            // bad arguments, or a file not read/parsed/written
inline constexpr int kExitEditsChanged = 3;     // an edit was cut, clamped or refused
inline constexpr int kExitPin = 4;              // wrong PIN, or a PIN needed and none given
inline constexpr int kExitWriteFailed = 5;      // a card write failed, did not verify, or no room
inline constexpr int kExitReadFailed = 6;       // a card read failed
inline constexpr int kExitModem = 7;            // the modem failed
inline constexpr int kExitBackupFailed = 8;     // the backup before a write failed; nothing written
inline constexpr int kExitRestoreRefused = 9;   // the backup is malformed or not this card's
inline constexpr int kExitSomeCardsFailed = 10; // programming cards in a row: not all ended ok
inline constexpr int kExitSimNotFound = 11;     // no card in the reader, or no such reader
inline constexpr int kExitSimBlocked = 12;      // the card's PIN is blocked

// What each status means, for the usage text.
struct ExitStatusMeaning {
    int status;
    std::string_view meaning;
};

inline constexpr std::array kExitStatusMeanings{
    ExitStatusMeaning{kExitOk, "success (diff: the card already holds what a write would leave)"},
    ExitStatusMeaning{kExitDifferent, "diff: a write would change the card"},
    ExitStatusMeaning{kExitUsage,
                      "bad arguments, or a file that cannot be read, parsed or written"},
    ExitStatusMeaning{kExitEditsChanged,
                      "an edit was cut, clamped or refused (what the form accepted is saved)"},
    ExitStatusMeaning{kExitPin, "wrong PIN, or a PIN needed and none given"},
    ExitStatusMeaning{kExitWriteFailed,
                      "a card write failed, did not verify, or the program did not fit"},
    ExitStatusMeaning{kExitReadFailed, "a card read failed"},
    ExitStatusMeaning{kExitModem, "the modem failed"},
    ExitStatusMeaning{kExitBackupFailed,
                      "the backup before a write could not be saved; nothing written"},
    ExitStatusMeaning{kExitRestoreRefused,
                      "restore: backup malformed or of another card or geometry; card untouched"},
    ExitStatusMeaning{kExitSomeCardsFailed, "programming cards in a row: not every card ended ok"},
    ExitStatusMeaning{kExitSimNotFound, "no card in the reader, or the reader was not found"},
    ExitStatusMeaning{kExitSimBlocked, "the card's PIN is blocked"},
};

} // namespace tarvik::cli
