#include "base/Windows1252.h"

#include "base/Utf8.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace tarvik {
namespace {

// Bytes 80..9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

// Adds one character to `result`, or records it as refused. Returns false once refused.
bool AppendByte(Windows1252Text& result, char32_t c) {
    const auto byte = c == kReplacementCharacter ? std::nullopt : UnicodeToWindows1252(c);
    if (!byte) {
        result.refused = c;
        return false;
    }
    result.text += static_cast<char>(*byte);
    return true;
}

} // namespace

char32_t Windows1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

std::optional<unsigned char> UnicodeToWindows1252(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<unsigned char>(character);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        AppendUtf8(out, Windows1252ToUnicode(static_cast<unsigned char>(b)));
    }
    return out;
}

std::u16string Windows1252ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        // Every character of the code page lies in the basic plane.
        out += static_cast<char16_t>(Windows1252ToUnicode(static_cast<unsigned char>(b)));
    }
    return out;
}

Windows1252Text Utf8ToWindows1252(std::string_view utf8) {
    Windows1252Text result;
    result.text.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (!AppendByte(result, NextUtf8(utf8, pos))) {
            break;
        }
    }
    return result;
}

Windows1252Text Utf16ToWindows1252(std::u16string_view utf16) {
    Windows1252Text result;
    result.text.reserve(utf16.size());
    for (std::size_t pos = 0; pos < utf16.size();) {
        if (!AppendByte(result, NextUtf16(utf16, pos))) {
            break;
        }
    }
    return result;
}

std::string RefusedCharacterMessage(char32_t character) {
    std::string shown;
    if (character == kReplacementCharacter) {
        return "the text is not valid UTF-8 or UTF-16";
    }
    if (character >= 0x20 && character != 0x7F) {
        AppendUtf8(shown, character);
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    std::string message = "the character ";
    if (!shown.empty()) {
        message += "'" + shown + "' ";
    }
    return message + "(" + code + ") cannot be stored: only Windows-1252 text is allowed";
}

} // namespace tarvik
