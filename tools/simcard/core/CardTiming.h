#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace simcard {

// How long a real card takes for one command on T=0: every character costs 11 etu, and a
// successful UPDATE RECORD or UPDATE BINARY also waits for the card's EEPROM write.
struct CardTiming {
    // The transmission rate after the answer to reset (9,600) or a PPS: 9,600 × D for the
    // adjustment factors D of ISO/IEC 7816-3 Table 8, at a 3.579545 MHz clock and F = 372.
    int baud = 9600;
    int writeMs = 4; // one EEPROM write per accepted update
};

inline constexpr double CardClockHz = 3'579'545.0;
inline constexpr int ClockRateConversion = 372; // F, the default of ISO/IEC 7816-3 §7.1
inline constexpr int EtuPerCharacter = 11;

// D for a baud rate the card can negotiate, else nothing.
std::optional<int> BaudRateAdjustment(int baud);

// One elementary time unit at that rate, ISO/IEC 7816-3 §7.1: etu = F / D × 1 / f.
std::chrono::nanoseconds ElementaryTimeUnit(int baud);

// The card's time for one command and its answer (data and status word, as vpcd carries
// them), counted in characters on the line: the 5 header bytes, the procedure byte (the
// INS the card sends back before data flows either way, ISO/IEC 7816-3 §10.3.3), the data
// bytes in (P3 of a command with data) and out, and the 2 status bytes. A 1-byte message
// (vpcd's power and reset codes) takes no time.
std::chrono::nanoseconds CommandDuration(const CardTiming& timing,
                                         std::span<const std::uint8_t> command,
                                         std::span<const std::uint8_t> answer);

} // namespace simcard
