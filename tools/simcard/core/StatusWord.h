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

// ETSI TS 102 221 §10.2.1 status words of a UICC, beside the ones shared above.
inline constexpr std::uint16_t MoreData = 0x6100; // low byte: bytes waiting (00: 256)
inline constexpr std::uint16_t WrongLe = 0x6C00;  // low byte: the right Le
inline constexpr std::uint16_t UpdateWarning = 0x6300;
inline constexpr std::uint16_t RetriesLeft = 0x63C0; // low nibble: attempts left
inline constexpr std::uint16_t UiccMemoryProblem = 0x6581;
inline constexpr std::uint16_t IncompatibleFile = 0x6981;
inline constexpr std::uint16_t SecurityNotSatisfied = 0x6982;
inline constexpr std::uint16_t PinBlocked = 0x6983;
inline constexpr std::uint16_t ReferenceInvalidated = 0x6984;
inline constexpr std::uint16_t ConditionsNotSatisfied = 0x6985;
inline constexpr std::uint16_t NoCurrentEf = 0x6986;
inline constexpr std::uint16_t FunctionNotSupported = 0x6A81;
inline constexpr std::uint16_t NotFound = 0x6A82;
inline constexpr std::uint16_t RecordNotFound = 0x6A83;
inline constexpr std::uint16_t IncorrectP1P2 = 0x6A86;
inline constexpr std::uint16_t ReferenceNotFound = 0x6A88;

} // namespace simcard::sw
