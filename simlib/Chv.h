#pragma once

#include "simlib/LibraryState.h"
#include "simlib/include/quenlib.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quenlib {

enum class ChvCommand : std::uint8_t {
    Verify = 0x20,
    Change = 0x24,
    Disable = 0x26,
    Enable = 0x28,
    Unblock = 0x2C,
};

// A CHV code as the card stores it: up to 8 characters, then FF.
std::array<std::uint8_t, 8> chvBlock(std::string_view code);

// Sends a CHV1 command with one code (verify, disable, enable) or two (change, unblock).
// QL_OK only when the card answers 90 00.
QLRESULT sendChvCommand(const Connection& connection, ChvCommand command, std::string_view first,
                        std::optional<std::string_view> second);

// CHV state from the answer to SELECT DF Telecom.
struct ChvState {
    bool pin1Enabled = false;
    std::uint32_t pin1AttemptsLeft = 0;
    std::uint32_t unblock1AttemptsLeft = 0;
    std::uint32_t pin2AttemptsLeft = 0;
    std::uint32_t unblock2AttemptsLeft = 0;
    // The response bytes, for the trace.
    std::vector<std::uint8_t> response;
};

// GSM: selects DF Telecom and reads its response; empty when the card does not answer it in
// full. UICC: the same places filled from the MF's FCP and the retry counters; the PIN2
// counters only when `withPin2` (they cost commands that PIN1's state does not need).
std::optional<ChvState> readChvState(const Connection& connection, bool withPin2);

// A CHV1 command on the connection of the calling thread's session; QL_E_NOT_CONNECTED
// without one.
QLRESULT runChvCommand(ChvCommand command, std::string_view first,
                       std::optional<std::string_view> second);
// The CHV state on the connection of the calling thread's session: QL_E_NOT_CONNECTED
// without one, QL_E_CHV when the card does not tell it.
QLRESULT queryChvState(bool withPin2, ChvState& chv);
// The PIN context record of a CHV state.
void fillPinContext(const ChvState& chv, QL_PIN_CONTEXT& context);

// The trace line of a CHV state response: every byte as "%02X ", bytes 14 and 19 (the
// file characteristics and the CHV1 status) as "==>%02X ".
std::string chvTraceLine(std::span<const std::uint8_t> response);

} // namespace quenlib
