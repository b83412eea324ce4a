#include "program/SimProgram.h"

#include "base/TextLines.h"
#include "program/ProgramEntries.h"

#include <algorithm>
#include <cstddef>

namespace tarvik {
namespace {

// Characters of one remote-programming block, as one SMS carries them.
constexpr std::size_t kRemoteBlockLength = 160;

// How many leading characters of a name identify its setting: the variants of one setting
// (TL3, TL3C, TL3S; OA2, OA20; LK5, LK5.1-2; all #3 texts) share these. The tests look at
// the name exactly as passed in.
std::size_t KeyPrefixLength(std::string_view name) {
    if (name.starts_with("IFA")) {
        return 4;
    }
    const char first = name.front();
    if (first == '#' || first == '$' || first == 'V') {
        return 2;
    }
    return 3;
}

// Ordinal byte comparison of the upper-cased old line with the new line as built.
bool UpperNotLess(std::string_view oldLine, std::string_view newLine) {
    const std::size_t common = std::min(oldLine.size(), newLine.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(UpperAscii(oldLine[i]));
        const auto b = static_cast<unsigned char>(newLine[i]);
        if (a != b) {
            return a > b;
        }
    }
    return oldLine.size() >= newLine.size();
}

} // namespace

std::string BuildRemoteText(std::span<const std::string> lines) {
    // The leading ";" travels in the first SMS, so it counts there; a piece longer than a
    // block starts none of its own after it.
    std::string text = ";";
    std::size_t count = 1;
    bool blockHasPiece = false;
    for (const auto& line : lines) {
        const std::size_t eq = line.find('=');
        const std::string_view name =
            eq == std::string::npos ? std::string_view() : std::string_view(line).substr(0, eq);
        if (!IsProgramKeyword(name)) {
            continue;
        }
        const std::size_t pieceLength = line.size() + 1;
        if (blockHasPiece && count + pieceLength > kRemoteBlockLength) {
            text += "\r\n\r\n";
            count = 0;
        }
        text += line;
        text += ';';
        count += pieceLength;
        blockHasPiece = true;
    }
    if (text.size() <= 1) {
        text.clear();
    }
    return text;
}

void SimProgram::setProgramEntry(std::string_view name, std::string_view number) {
    if (name.empty()) {
        return;
    }
    const std::size_t keyLength = KeyPrefixLength(name);
    if (name.size() < keyLength) {
        return;
    }
    const std::string key = UpperAscii(name.substr(0, keyLength));

    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (StartsWithUpper(text_.line(i), key)) {
            text_.erase(i);
            break;
        }
    }

    if (!number.empty()) {
        std::string newLine(name);
        newLine += '=';
        newLine += NormaliseNumber(number);

        std::size_t at = text_.size();
        for (std::size_t i = 0; i < text_.size(); ++i) {
            const std::string& old = text_.line(i);
            if (UpperNotLess(old, newLine) || StartsWithUpper(old, "RR")) {
                at = i;
                break;
            }
        }
        text_.insert(at, std::move(newLine));
    }
    buildRemoteText();
}

void SimProgram::appendProgramEntry(std::string_view name, std::string_view number) {
    text_.append(NormaliseNumber(name) + "=" + NormaliseNumber(number));
}

void SimProgram::buildRemoteText() {
    remoteText_ = tarvik::BuildRemoteText(text_.lines());
}

} // namespace tarvik
