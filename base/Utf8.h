#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik {

// The character that stands for malformed UTF-8.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 bytes of the character c (at most U+10FFFF) to out.
void AppendUtf8(std::string& out, char32_t c);

// Decodes the UTF-8 sequence at pos (which must be inside s) and moves past it; a malformed
// sequence (overlong, surrogate, cut short, past U+10FFFF) gives kReplacementCharacter.
char32_t NextUtf8(std::string_view s, std::size_t& pos);

// Decodes the UTF-16 character at pos (which must be inside s), a surrogate pair or one
// unit, and moves past it; a lone surrogate gives kReplacementCharacter.
char32_t NextUtf16(std::u16string_view s, std::size_t& pos);

// UTF-8 of any UTF-16 text (card text); a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace tarvik
