#pragma once

#include <array>
#include <string_view>

namespace tarvik::cli {

// The exit statuses of tarvik-cli, the same for every command. Scripts rely on the values:
// a value never changes meaning, new ones are added at the end.
inline constexpr int exitOk = 0;               // success (diff: the card already holds it)
inline constexpr int exitDifferent = 1;        // diff only: a write would change the card
inline constexpr int exitUsage = 2;            // bad arguments, or a file not read/parsed/written
inline constexpr int exitEditsChanged = 3;     // an edit was cut, clamped or refused
inline constexpr int exitPin = 4;              // wrong PIN, or a PIN needed and none given
inline constexpr int exitWriteFailed = 5;      // a card write failed, did not verify, or no room
inline constexpr int exitReadFailed = 6;       // a card read failed
inline constexpr int exitModem = 7;            // the modem failed
inline constexpr int exitBackupFailed = 8;     // the backup before a write failed; nothing written
inline constexpr int exitRestoreRefused = 9;   // the backup is malformed or not this card's
inline constexpr int exitSomeCardsFailed = 10; // programming cards in a row: not all ended ok
inline constexpr int exitSimNotFound = 11;     // no card in the reader, or no such reader
inline constexpr int exitSimBlocked = 12;      // the card's PIN is blocked

// What each status means, for the usage text.
struct ExitStatusMeaning {
    int status;
    std::string_view meaning;
};

inline constexpr std::array exitStatusMeanings{
    ExitStatusMeaning{exitOk, "success (diff: the card already holds what a write would leave)"},
    ExitStatusMeaning{exitDifferent, "diff: a write would change the card"},
    ExitStatusMeaning{exitUsage, "bad arguments, or a file that cannot be read, parsed or written"},
    ExitStatusMeaning{exitEditsChanged,
                      "an edit was cut, clamped or refused (what the form accepted is saved)"},
    ExitStatusMeaning{exitPin, "wrong PIN, or a PIN needed and none given"},
    ExitStatusMeaning{exitWriteFailed,
                      "a card write failed, did not verify, or the program did not fit"},
    ExitStatusMeaning{exitReadFailed, "a card read failed"},
    ExitStatusMeaning{exitModem, "the modem failed"},
    ExitStatusMeaning{exitBackupFailed,
                      "the backup before a write could not be saved; nothing written"},
    ExitStatusMeaning{exitRestoreRefused,
                      "restore: backup malformed or of another card or geometry; card untouched"},
    ExitStatusMeaning{exitSomeCardsFailed, "programming cards in a row: not every card ended ok"},
    ExitStatusMeaning{exitSimNotFound, "no card in the reader, or the reader was not found"},
    ExitStatusMeaning{exitSimBlocked, "the card's PIN is blocked"},
};

} // namespace tarvik::cli
