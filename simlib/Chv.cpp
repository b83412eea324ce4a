#include "simlib/Chv.h"

#include "simlib/CardCommands.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace quenlib {

namespace {

// Bytes of a DF response (1-based): file characteristics, then the status bytes of CHV1,
// UNBLOCK CHV1, CHV2 and UNBLOCK CHV2.
constexpr std::size_t kFileCharacteristics = 14;
constexpr std::size_t kChv1Status = 19;
constexpr std::size_t kUnblock1Status = 20;
constexpr std::size_t kChv2Status = 21;
constexpr std::size_t kUnblock2Status = 22;
constexpr std::uint8_t kChv1DisabledBit = 0x80;

std::uint32_t attemptsLeft(std::span<const std::uint8_t> data, std::size_t byte) {
    return data[byte - 1] & 0x0Fu;
}

} // namespace

std::array<std::uint8_t, 8> chvBlock(std::string_view code) {
    std::array<std::uint8_t, 8> block;
    block.fill(0xFF);
    const auto end = std::find(code.begin(), code.end(), '\0');
    const std::size_t length = std::min<std::size_t>(end - code.begin(), block.size());
    std::copy_n(code.begin(), length, block.begin());
    return block;
}

QLRESULT sendChvCommand(const Connection& connection, ChvCommand command, std::string_view first,
                        std::optional<std::string_view> second) {
    std::array<std::uint8_t, 16> data{};
    const auto firstBlock = chvBlock(first);
    std::copy(firstBlock.begin(), firstBlock.end(), data.begin());
    std::uint8_t length = 8;
    if (second) {
        const auto secondBlock = chvBlock(*second);
        std::copy(secondBlock.begin(), secondBlock.end(), data.begin() + 8);
        length = 16;
    }
    // UNBLOCK CHV addresses CHV1 with P2 = 00; the others with P2 = 01.
    const std::uint8_t p2 = command == ChvCommand::Unblock ? 0x00 : 0x01;
    const auto response = transmit(connection, {static_cast<std::uint8_t>(command), 0, p2, length},
                                   std::span(data).first(length));
    return response && response->isOk() ? QL_OK : QL_E_CHV;
}

std::optional<ChvState> readChvState(const Connection& connection) {
    const auto responseLength = selectFile(connection, kDfTelecom);
    if (!responseLength) {
        return std::nullopt;
    }
    const auto response = getResponse(connection, *responseLength);
    if (!response) {
        return std::nullopt;
    }
    const auto data = response->data();
    if (data.size() < kUnblock2Status) {
        return std::nullopt;
    }
    ChvState chv;
    chv.pin1Enabled = (data[kFileCharacteristics - 1] & kChv1DisabledBit) == 0;
    chv.pin1AttemptsLeft = attemptsLeft(data, kChv1Status);
    chv.unblock1AttemptsLeft = attemptsLeft(data, kUnblock1Status);
    chv.pin2AttemptsLeft = attemptsLeft(data, kChv2Status);
    chv.unblock2AttemptsLeft = attemptsLeft(data, kUnblock2Status);
    chv.response.assign(data.begin(), data.end());
    return chv;
}

std::string chvTraceLine(std::span<const std::uint8_t> response) {
    std::string line;
    line.reserve(response.size() * 5 + 1);
    for (std::size_t i = 0; i < response.size(); ++i) {
        const std::size_t byte = i + 1;
        const bool marked = byte == kFileCharacteristics || byte == kChv1Status;
        char text[8];
        std::snprintf(text, sizeof text, marked ? "==>%02X " : "%02X ", response[i]);
        line += text;
    }
    line += '\n';
    return line;
}

} // namespace quenlib
