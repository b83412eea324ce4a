#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// Windows-1252, the 8-bit text of program files, language files, package names and the
// card's one-byte names, and its conversions to and from Unicode. Every byte has a
// character: the five bytes the code page leaves undefined (81, 8D, 8F, 90, 9D) stand for
// the control characters of the same number, as Windows maps them, so any byte string
// survives a trip through Unicode unchanged.

// The character a byte stands for.
char32_t Windows1252ToUnicode(unsigned char byte);
// The byte of a character, or nothing when Windows-1252 cannot hold it.
std::optional<unsigned char> UnicodeToWindows1252(char32_t character);

// The result of a conversion into Windows-1252.
struct Windows1252Text {
    std::string text;                // the bytes, complete only when refused is empty
    std::optional<char32_t> refused; // the first character that has no byte (U+FFFD for
                                     // malformed input)
    bool ok() const { return !refused; }
};

std::string Windows1252ToUtf8(std::string_view bytes);
std::u16string Windows1252ToUtf16(std::string_view bytes);
Windows1252Text Utf8ToWindows1252(std::string_view utf8);
Windows1252Text Utf16ToWindows1252(std::u16string_view utf16);

// One line for the user on a refused character, e.g.
// "the character 'ā' (U+0101) cannot be stored: only Windows-1252 text is allowed".
std::string RefusedCharacterMessage(char32_t character);

} // namespace tarvik
