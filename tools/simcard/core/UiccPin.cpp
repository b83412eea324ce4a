// The PIN commands of a UICC (ETSI TS 102 221 §11.1.9 to §11.1.13).

#include "tools/simcard/core/StatusWord.h"
#include "tools/simcard/core/UiccCommands.h"

#include <algorithm>

namespace simcard {

namespace {

constexpr std::size_t PinLength = 8;
// §9.5.1: PIN1 of the application and its second PIN.
constexpr std::uint8_t KeyPin1 = 0x01;
constexpr std::uint8_t KeyPin2 = 0x81;

Bytes Word(std::uint16_t sw) {
    return {static_cast<std::uint8_t>(sw >> 8), static_cast<std::uint8_t>(sw & 0xFF)};
}

// Presents `presented` to `code`: resets its counter on a match, counts down otherwise.
// Returns 63 Cx (x the attempts left, 0 on the attempt that blocks it) for a mismatch,
// 69 83 for a code already blocked, nullopt on a match.
std::optional<std::uint16_t> Present(SecretCode& code, std::span<const std::uint8_t> presented) {
    if (code.blocked())
        return sw::PinBlocked;
    if (code.matches(presented)) {
        code.attemptsLeft = code.maxAttempts;
        return std::nullopt;
    }
    --code.attemptsLeft;
    return static_cast<std::uint16_t>(sw::RetriesLeft | code.attemptsLeft);
}

// An empty VERIFY or UNBLOCK: how many attempts `code` has left.
std::uint16_t AttemptsOf(const SecretCode& code) {
    return code.blocked() ? sw::PinBlocked
                          : static_cast<std::uint16_t>(sw::RetriesLeft | code.attemptsLeft);
}

} // namespace

int UiccCommands::pinNumber(std::uint8_t keyReference) {
    return keyReference == KeyPin1 ? 1 : keyReference == KeyPin2 ? 2 : 0;
}

Bytes UiccCommands::verifyPin(const Command& c, bool change) {
    if (c.p1 != 0)
        return Word(sw::WrongP1P2);
    const int n = pinNumber(c.p2);
    if (n == 0)
        return Word(sw::ReferenceNotFound);
    auto& code = image_.chv(n);
    // §11.1.9: VERIFY without data asks for the attempts left; 90 00 when no
    // verification is needed, because the PIN is disabled or was verified.
    if (!change && c.p3 == 0) {
        if (!pinEnabled(n) || state_.verified[n - 1])
            return Word(sw::Ok);
        return Word(AttemptsOf(code));
    }
    const std::size_t length = change ? 2 * PinLength : PinLength;
    if (c.p3 != length || c.data.size() != length)
        return Word(sw::WrongLength);
    // A disabled PIN can be neither verified nor changed.
    if (!pinEnabled(n))
        return Word(sw::ReferenceInvalidated);
    const CardImage before = image_;
    auto failure = Present(code, c.data.first(PinLength));
    if (failure)
        state_.verified[n - 1] = false;
    else if (change)
        std::ranges::copy(c.data.subspan(PinLength), code.value.begin());
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    if (!failure && answer == Word(sw::Ok))
        state_.verified[n - 1] = true;
    return answer;
}

Bytes UiccCommands::switchVerification(const Command& c, bool enable) {
    // §11.1.11 and §11.1.12. Only PIN1 can be disabled; an alternative global key
    // reference (P1 80) is not offered.
    if (c.p1 != 0)
        return Word(sw::WrongP1P2);
    const int n = pinNumber(c.p2);
    if (n == 0)
        return Word(sw::ReferenceNotFound);
    if (n != 1)
        return Word(sw::FunctionNotSupported);
    if (c.p3 != PinLength || c.data.size() != PinLength)
        return Word(sw::WrongLength);
    if (image_.chv1Enabled() == enable)
        return Word(sw::ConditionsNotSatisfied);
    const CardImage before = image_;
    auto failure = Present(image_.chv(1), c.data);
    if (failure)
        state_.verified[0] = false;
    else
        image_.setChv1Enabled(enable);
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    // The PIN was just presented, so the holder stays verified.
    state_.verified[0] = !failure && answer == Word(sw::Ok);
    return answer;
}

Bytes UiccCommands::unblockPin(const Command& c) {
    // §11.1.13: the UNBLOCK PIN, then the new PIN; without data, the attempts left of the
    // UNBLOCK PIN.
    if (c.p1 != 0)
        return Word(sw::WrongP1P2);
    const int n = pinNumber(c.p2);
    if (n == 0)
        return Word(sw::ReferenceNotFound);
    auto& unblock = image_.unblockCode(n);
    if (c.p3 == 0)
        return Word(AttemptsOf(unblock));
    if (c.p3 != 2 * PinLength || c.data.size() != 2 * PinLength)
        return Word(sw::WrongLength);
    const CardImage before = image_;
    auto failure = Present(image_.unblockCode(n), c.data.first(PinLength));
    if (!failure) {
        auto& code = image_.chv(n);
        std::ranges::copy(c.data.subspan(PinLength), code.value.begin());
        code.attemptsLeft = code.maxAttempts;
        // After unblocking, the PIN is enabled.
        if (n == 1)
            image_.setChv1Enabled(true);
    }
    auto answer = commit(before, Word(failure.value_or(sw::Ok)));
    if (!failure && answer == Word(sw::Ok))
        state_.verified[n - 1] = true;
    return answer;
}

} // namespace simcard
