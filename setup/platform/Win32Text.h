#pragma once

#include <string>
#include <string_view>

namespace setup {

// The setup core speaks UTF-8; the Win32 calls take UTF-16. Invalid UTF-8 becomes U+FFFD, as
// the system's own conversion makes it.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

} // namespace setup
