#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace simcard {

// A CHV or UNBLOCK CHV code: its 8-byte value (characters padded with FF) and its counter.
struct SecretCode {
    std::array<std::uint8_t, 8> value{};
    int attemptsLeft = 0;
    int maxAttempts = 0;

    static SecretCode fromText(std::string_view text, int maxAttempts);

    bool blocked() const { return attemptsLeft == 0; }
    bool matches(std::span<const std::uint8_t> presented) const;
    // GSM 11.11 status byte: b8 "code initialised", low 4 bits the attempts left.
    std::uint8_t statusByte() const;

    bool operator==(const SecretCode&) const = default;
};

} // namespace simcard
