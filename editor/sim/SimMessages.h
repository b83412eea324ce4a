#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The untranslated texts of the card commands. The caption texts are never translated.
inline constexpr std::string_view kReadFromSim = "Read from SIM?";
inline constexpr std::string_view kConfirmCaption = "Confirm";
inline constexpr std::string_view kSimNotFound = "SIM not found";
inline constexpr std::string_view kSimBlocked = "SIM is blocked, PIN count is zero";
inline constexpr std::string_view kWrongPinFormat = "Wrong PIN! - PIN count is now %d";

inline constexpr std::string_view kWriteError = "Write Error";
inline constexpr std::string_view kInsufficientSimSpace = "Insufficient SIM space";
inline constexpr std::string_view kReadError = "Read Error";

// A preview of a write, and what a read leaves out. Translated through the language file.
inline constexpr std::string_view kOneEntryChanges = "1 entry changes";
inline constexpr std::string_view kEntriesChangeFormat = "%d entries change";
inline constexpr std::string_view kOneEntryMoves = "1 entry moves to another record";
inline constexpr std::string_view kEntriesMoveFormat = "%d entries move to other records";
inline constexpr std::string_view kOneContactDeleted =
    "1 contact that is not part of the program will be deleted";
inline constexpr std::string_view kContactsDeletedFormat =
    "%d contacts that are not part of the program will be deleted";
inline constexpr std::string_view kLinesDoNotFitFormat = "%d program lines do not fit on the SIM";
inline constexpr std::string_view kSimHoldsProgram = "The SIM already holds this program";
inline constexpr std::string_view kChangeAdded = "added";
inline constexpr std::string_view kChangeChanged = "changed";
inline constexpr std::string_view kChangeRemoved = "removed";
inline constexpr std::string_view kChangeMoved = "moved";
inline constexpr std::string_view kChangeDeleted = "deleted";
inline constexpr std::string_view kRecordWord = "record";
inline constexpr std::string_view kRecordsLeftOutFormat =
    "%d SIM records that the program text cannot hold were left out";

// "SIM 3 / 250": the caption while record 3 of a phonebook of 250 is transferred.
std::string ProgressCaption(int record, int count);

} // namespace tarvik
