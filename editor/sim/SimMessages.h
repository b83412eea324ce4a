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

// "SIM 3 / 250": the caption while record 3 of a phonebook of 250 is transferred.
std::string ProgressCaption(int record, int count);

} // namespace tarvik
