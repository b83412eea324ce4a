#include "program/ProgramFile.h"

#include "base/TextLines.h"

#include <cstddef>

namespace tarvik {
namespace {

// A character that cannot be read as a number decodes as a blank.
constexpr int kUnreadableGroup = 32;

std::uint8_t KeyByte(std::size_t position) {
    return programFileKey[position % programFileKey.size()];
}

// A group of three characters as a decimal integer: an optional sign and at least one
// digit, nothing else.
int ReadGroup(std::string_view group) {
    std::size_t i = 0;
    bool negative = false;
    if (group[0] == '+' || group[0] == '-') {
        negative = group[0] == '-';
        i = 1;
    }
    if (i == group.size()) {
        return kUnreadableGroup;
    }
    int value = 0;
    for (; i < group.size(); ++i) {
        if (group[i] < '0' || group[i] > '9') {
            return kUnreadableGroup;
        }
        value = value * 10 + (group[i] - '0');
    }
    return negative ? -value : value;
}

} // namespace

std::string ScrambleText(std::string_view plain) {
    std::string digits;
    digits.resize(plain.size() * 3);
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const unsigned value = static_cast<unsigned char>(plain[i]) ^ KeyByte(i + 1);
        digits[3 * i] = static_cast<char>('0' + value / 100);
        digits[3 * i + 1] = static_cast<char>('0' + value / 10 % 10);
        digits[3 * i + 2] = static_cast<char>('0' + value % 10);
    }
    return digits;
}

std::string UnscrambleText(std::string_view digits) {
    std::string normalised;
    normalised.reserve(digits.size() + 2);
    for (const auto& line : SplitLines(digits)) {
        normalised += line;
        normalised += "\r\n";
    }
    const std::size_t count = normalised.size() / 3;
    std::string plain;
    plain.resize(count);
    for (std::size_t k = 1; k <= count; ++k) {
        const int value = ReadGroup(std::string_view(normalised).substr(3 * (k - 1), 3));
        plain[k - 1] = static_cast<char>(static_cast<unsigned>(value ^ KeyByte(k)) & 0xffu);
    }
    return plain;
}

std::string ModelLine(int modelIndex) {
    return "SIM-0" + std::to_string(modelIndex + 3);
}

std::string BuildPlainDocument(int modelIndex, std::span<const std::string> notes,
                               std::span<const std::string> program) {
    std::string plain = ModelLine(modelIndex) + "\r\n";
    for (const auto& line : notes) {
        plain += line;
        plain += "\r\n";
    }
    plain += kProgramSeparator;
    plain += "\r\n";
    for (const auto& line : program) {
        plain += line;
        plain += "\r\n";
    }
    return plain;
}

std::optional<PlainDocument> ParsePlainDocument(std::string_view plain) {
    std::vector<std::string> lines = SplitLines(plain);
    const std::string first = (lines.empty() ? std::string() : lines.front()) + "xxxxx";
    if (!first.starts_with("SIM-")) {
        return std::nullopt;
    }

    PlainDocument document;
    const char digit = first[5];
    int model = (digit >= '0' && digit <= '9') ? digit - '0' : 1;
    model -= 3;
    document.modelIndex = model < 0 ? 0 : model;

    std::size_t i = 1;
    for (; i < lines.size() && lines[i] != kProgramSeparator; ++i) {
        document.notes.push_back(std::move(lines[i]));
    }
    if (i < lines.size()) {
        ++i;
    }
    for (; i < lines.size(); ++i) {
        document.program.push_back(std::move(lines[i]));
    }
    return document;
}

} // namespace tarvik
