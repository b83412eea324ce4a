#pragma once

#include <cstdint>

namespace simcard::sw {

// GSM 11.11 status words, SW1 in the high byte.
inline constexpr std::uint16_t Ok = 0x9000;
inline constexpr std::uint16_t ResponseWaiting = 0x9F00; // low byte: response length
inline constexpr std::uint16_t MemoryProblem = 0x9240;
inline constexpr std::uint16_t NoEfSelected = 0x9400;
inline constexpr std::uint16_t OutOfRange = 0x9402;
inline constexpr std::uint16_t FileNotFound = 0x9404;
inline constexpr std::uint16_t FileInconsistent = 0x9408;
inline constexpr std::uint16_t NoChvInitialised = 0x9802;
inline constexpr std::uint16_t AccessDenied = 0x9804; // also: wrong code, attempts left
inline constexpr std::uint16_t ChvContradiction = 0x9808;
inline constexpr std::uint16_t Blocked = 0x9840;
inline constexpr std::uint16_t WrongLength = 0x6700; // low byte: the right length, or 00
inline constexpr std::uint16_t WrongP1P2 = 0x6B00;
inline constexpr std::uint16_t UnknownInstruction = 0x6D00;
inline constexpr std::uint16_t WrongClass = 0x6E00;
inline constexpr std::uint16_t TechnicalProblem = 0x6F00;

} // namespace simcard::sw
