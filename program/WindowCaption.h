#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The main window's caption for the current file: "Tarvik3" without a file, otherwise
// "Tarvik3 - " and the file's name without its folder ("/" and "\" both separate folders).
std::string WindowCaption(std::string_view fileName);

} // namespace tarvik
