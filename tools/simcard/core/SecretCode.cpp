#include "tools/simcard/core/SecretCode.h"

#include <algorithm>

namespace simcard {

SecretCode SecretCode::fromText(std::string_view text, int maxAttempts) {
    SecretCode code;
    code.value.fill(0xFF);
    auto length = std::min(text.size(), code.value.size());
    std::copy_n(text.begin(), length, code.value.begin());
    code.attemptsLeft = maxAttempts;
    code.maxAttempts = maxAttempts;
    return code;
}

bool SecretCode::matches(std::span<const std::uint8_t> presented) const {
    return std::ranges::equal(presented, value);
}

std::uint8_t SecretCode::statusByte() const {
    return static_cast<std::uint8_t>(0x80 | (attemptsLeft & 0x0F));
}

} // namespace simcard
