#pragma once

#include <string>
#include <string_view>

namespace installer {

// The installer's logic speaks UTF-8; the system's calls take UTF-16.
std::wstring Wide(std::string_view text);
std::string Utf8(std::wstring_view text);

// The system's words for an error code, without the final full stop and line end.
std::string SystemMessage(unsigned long code);

} // namespace installer
