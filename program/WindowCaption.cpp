#include "program/WindowCaption.h"

namespace tarvik {

std::string WindowCaption(std::string_view fileName) {
    std::string caption = "Tarvik3";
    if (fileName.empty()) {
        return caption;
    }
    const std::size_t separator = fileName.find_last_of("/\\");
    caption += " - ";
    caption += separator == std::string_view::npos ? fileName : fileName.substr(separator + 1);
    return caption;
}

} // namespace tarvik
