#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// Splits text into lines at CR LF, LF or CR. A line break at the very end does not
// begin another line, so "a\r\nb\r\n" and "a\r\nb" both give two lines and the empty
// text gives none.
std::vector<std::string> SplitLines(std::string_view text);

// The text up to its first line break (CR or LF): what a one-line edit keeps of a text
// pasted into it.
std::string_view FirstLine(std::string_view text);

// Joins lines with CR LF between them (none after the last line).
std::string JoinLines(std::span<const std::string> lines);

// Upper-cases the ASCII letters a..z only; other bytes of the 8-bit text stay as they are.
std::string UpperAscii(std::string_view text);
char UpperAscii(char c);

// True when text, upper-cased as UpperAscii does, begins with upperPrefix (which must
// already be upper-case). Compares in place, without building an upper-cased copy.
bool StartsWithUpper(std::string_view text, std::string_view upperPrefix);

} // namespace tarvik
