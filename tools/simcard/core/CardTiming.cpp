#include "tools/simcard/core/CardTiming.h"

#include <array>
#include <cmath>

namespace simcard {

namespace {

constexpr std::uint8_t UpdateBinary = 0xD6, UpdateRecord = 0xDC;
constexpr std::size_t HeaderLength = 5, StatusLength = 2, ProcedureByte = 1;

// The card wrote only when it accepted the update: 90 00, 91 xx (GSM 11.11 §9.4.1) or the
// warning 63 CX of a write after retries (ETSI TS 102 221 §10.2.1.2).
bool WroteData(std::span<const std::uint8_t> command, std::span<const std::uint8_t> answer) {
    if (command.size() < 2 || (command[1] != UpdateBinary && command[1] != UpdateRecord) ||
        answer.size() < StatusLength)
        return false;
    const auto sw1 = answer[answer.size() - StatusLength];
    return sw1 == 0x90 || sw1 == 0x91 || sw1 == 0x63;
}

} // namespace

std::optional<int> BaudRateAdjustment(int baud) {
    constexpr std::array<int, 9> adjustments = {1, 2, 4, 8, 12, 16, 20, 32, 64};
    for (int d : adjustments)
        if (baud == 9600 * d)
            return d;
    return std::nullopt;
}

std::chrono::nanoseconds ElementaryTimeUnit(int baud) {
    const int d = BaudRateAdjustment(baud).value_or(1);
    return std::chrono::nanoseconds(std::llround(ClockRateConversion / (d * CardClockHz) * 1e9));
}

std::chrono::nanoseconds CommandDuration(const CardTiming& timing,
                                         std::span<const std::uint8_t> command,
                                         std::span<const std::uint8_t> answer) {
    if (command.size() < HeaderLength)
        return {};
    const std::size_t dataIn = command.size() > HeaderLength ? command[4] : 0;
    const std::size_t dataOut = answer.size() > StatusLength ? answer.size() - StatusLength : 0;
    const std::size_t procedure = dataIn + dataOut > 0 ? ProcedureByte : 0;
    const std::size_t characters = HeaderLength + procedure + dataIn + dataOut + StatusLength;
    const int d = BaudRateAdjustment(timing.baud).value_or(1);
    const double seconds =
        static_cast<double>(characters * EtuPerCharacter) * ClockRateConversion / (d * CardClockHz);
    std::chrono::nanoseconds total(std::llround(seconds * 1e9));
    if (WroteData(command, answer))
        total += std::chrono::milliseconds(timing.writeMs);
    return total;
}

} // namespace simcard
