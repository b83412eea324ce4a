#include "simlib/Iccid.h"

#include "simlib/CardCommands.h"
#include "simlib/LibraryState.h"

#include <algorithm>

namespace quenlib {

namespace {

constexpr std::uint8_t kIccidBytes = 10;
constexpr std::uint8_t kFiller = 0x0F;

} // namespace

std::optional<std::string> decodeIccid(std::span<const std::uint8_t> bytes) {
    std::string digits;
    for (const std::uint8_t byte : bytes) {
        for (const int nibble : {byte & 0x0F, byte >> 4}) {
            if (nibble == kFiller) {
                return digits.empty() ? std::nullopt : std::optional(digits);
            }
            if (nibble > 9) {
                return std::nullopt;
            }
            digits += static_cast<char>('0' + nibble);
        }
    }
    return digits.empty() ? std::nullopt : std::optional(digits);
}

QLRESULT readIccid(char* digits, std::uint32_t size) {
    if (digits == nullptr || size < QL_ICCID_SIZE) {
        return QL_E_FAILED;
    }
    const LibraryState& s = state();
    if (!s.connection) {
        return QL_E_NOT_CONNECTED;
    }
    const Connection connection = *s.connection;
    if (!selectFile(connection, kMasterFile) || !selectFile(connection, kEfIccid)) {
        return QL_E_SELECT_EF;
    }
    const auto response = readBinary(connection, kIccidBytes);
    if (!response) {
        return QL_E_READ;
    }
    const auto decoded = decodeIccid(response->data());
    if (!decoded) {
        return QL_E_READ;
    }
    std::copy(decoded->begin(), decoded->end(), digits);
    digits[decoded->size()] = '\0';
    return QL_OK;
}

} // namespace quenlib
