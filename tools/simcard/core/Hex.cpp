#include "tools/simcard/core/Hex.h"

namespace simcard {

namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

constexpr char Digits[] = "0123456789ABCDEF";

void appendHex(std::string& text, std::span<const std::uint8_t> bytes) {
    auto at = text.size();
    text.resize(at + 2 * bytes.size());
    for (std::uint8_t b : bytes) {
        text[at++] = Digits[b >> 4];
        text[at++] = Digits[b & 0x0F];
    }
}

std::string toHex(std::span<const std::uint8_t> bytes, bool spaced) {
    if (!spaced) {
        std::string text;
        appendHex(text, bytes);
        return text;
    }
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += Digits[b >> 4];
        text += Digits[b & 0x0F];
    }
    return text;
}

std::optional<Bytes> parseHex(std::string_view text) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        int value = digitValue(c);
        if (value < 0)
            return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | value));
            high = -1;
        }
    }
    if (high >= 0)
        return std::nullopt;
    return bytes;
}

} // namespace simcard
