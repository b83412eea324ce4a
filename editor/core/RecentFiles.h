#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// How many program files File > Recent files lists.
inline constexpr std::size_t kRecentFileCount = 8;

// The list of recent files after path was opened or saved: path first, without an earlier
// mention of it, and no more than kRecentFileCount files. An empty path changes nothing.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, std::string_view path);

// The list without path, as after a listed file turned out to be gone.
std::vector<std::string> WithoutRecentFile(std::vector<std::string> files, std::string_view path);

} // namespace tarvik
