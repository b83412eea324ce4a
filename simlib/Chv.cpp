#include "simlib/Chv.h"

#include "simlib/CardCommands.h"
#include "simlib/coding/FileControlParameters.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

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
// ETSI TS 102 221 §9.5.1: PIN1 is key reference 01 (P2 of every PIN command), PIN2 of the
// USIM key reference 81.
constexpr std::uint8_t kKeyPin1 = 0x01;
constexpr std::uint8_t kKeyPin2 = 0x81;
// A counter the card does not report: a VERIFY that needs no PIN answers 90 00. The counter
// then stands where a successful presentation leaves it: at its initial value, 3 for a PIN
// and 10 for its unblock code in the cards in use (GSM 11.11 §11.6 has the same values).
constexpr std::uint32_t kPinCounterReset = 3;
constexpr std::uint32_t kUnblockCounterReset = 10;

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
    const auto header = [&](CardMode mode) {
        // GSM 11.11 §9.2: UNBLOCK CHV addresses CHV1 with P2 = 00, the others with P2 = 01.
        // A UICC addresses PIN1 by its key reference in each (ETSI TS 102 221 §11.1.9-13).
        const std::uint8_t p2 =
            mode != CardMode::Uicc && command == ChvCommand::Unblock ? 0x00 : kKeyPin1;
        return CommandHeader{static_cast<std::uint8_t>(command), 0, p2, length};
    };
    const auto response =
        transmitInMode(connection, header, std::span<const std::uint8_t>(data).first(length));
    return response && response->isOk() ? QL_OK : QL_E_CHV;
}

namespace {

// What a UICC says to a PIN command without data (ETSI TS 102 221 §11.1.9 and §11.1.13):
// 63 Cx leaves x tries, 69 83 none (blocked), 90 00 needs no presentation.
struct RetryAnswer {
    std::uint32_t left = 0;
    bool presentationNeeded = false;
};

std::optional<RetryAnswer> askRetries(const Connection& connection, ChvCommand command,
                                      std::uint8_t key, std::uint32_t whenNotNeeded) {
    const auto response = transmit(connection, {static_cast<std::uint8_t>(command), 0, key, 0},
                                   std::span<const std::uint8_t>());
    if (!response || !response->hasStatusWord()) {
        return std::nullopt;
    }
    if (response->sw1() == 0x63 && (response->sw2() & 0xF0) == 0xC0) {
        return RetryAnswer{response->sw2() & 0x0Fu, true};
    }
    if (response->statusWord() == 0x6983) {
        return RetryAnswer{0, true};
    }
    if (response->isOk()) {
        return RetryAnswer{whenNotNeeded, false};
    }
    return std::nullopt;
}

std::uint32_t retriesLeft(const Connection& connection, ChvCommand command, std::uint8_t key,
                          std::uint32_t whenNotNeeded) {
    const auto answer = askRetries(connection, command, key, whenNotNeeded);
    return answer ? answer->left : 0;
}

// A UICC's PIN state: "enabled" from the PS_DO of the MF's FCP (a card whose MF names no
// PIN1 there: whether VERIFY asks for a presentation), the counters from PIN commands
// without data. PIN2 is asked for only when `withPin2`.
std::optional<ChvState> readUiccChvState(const Connection& connection, bool withPin2) {
    const auto response = selectFileWithFcp(connection, kMasterFile);
    if (!response) {
        return std::nullopt;
    }
    const auto parse = ParseFcp(response->data());
    const auto pin1 = askRetries(connection, ChvCommand::Verify, kKeyPin1, kPinCounterReset);
    if (!pin1) {
        return std::nullopt;
    }
    ChvState chv;
    chv.pin1Enabled =
        parse.fcp && parse.fcp->pin1Enabled ? *parse.fcp->pin1Enabled : pin1->presentationNeeded;
    chv.pin1AttemptsLeft = pin1->left;
    if (withPin2) {
        chv.unblock1AttemptsLeft =
            retriesLeft(connection, ChvCommand::Unblock, kKeyPin1, kUnblockCounterReset);
        chv.pin2AttemptsLeft =
            retriesLeft(connection, ChvCommand::Verify, kKeyPin2, kPinCounterReset);
        chv.unblock2AttemptsLeft =
            retriesLeft(connection, ChvCommand::Unblock, kKeyPin2, kUnblockCounterReset);
    }
    const auto fcp = response->data();
    chv.response.assign(fcp.begin(), fcp.end());
    return chv;
}

} // namespace

std::optional<ChvState> readChvState(const Connection& connection, bool withPin2) {
    if (cardMode() == CardMode::Uicc) {
        return readUiccChvState(connection, withPin2);
    }
    const auto responseLength = selectFile(connection, kDfTelecom);
    if (cardMode() == CardMode::Uicc) {
        // The card's first answer made it a UICC.
        return readUiccChvState(connection, withPin2);
    }
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

QLRESULT runChvCommand(ChvCommand command, std::string_view first,
                       std::optional<std::string_view> second) {
    const LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    return sendChvCommand(*s.connection, command, first, second);
}

QLRESULT queryChvState(bool withPin2, ChvState& chv) {
    const LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    auto read = readChvState(*s.connection, withPin2);
    if (!read) {
        return QL_E_CHV;
    }
    chv = std::move(*read);
    return QL_OK;
}

void fillPinContext(const ChvState& chv, QL_PIN_CONTEXT& context) {
    context.pin1Enabled = chv.pin1Enabled ? 1 : 0;
    context.pin1AttemptsLeft = chv.pin1AttemptsLeft;
    context.unblock1AttemptsLeft = chv.unblock1AttemptsLeft;
    context.pin2AttemptsLeft = chv.pin2AttemptsLeft;
    context.unblock2AttemptsLeft = chv.unblock2AttemptsLeft;
}

} // namespace quenlib
