#include "editor/core/FormatCount.h"

namespace tarvik {

std::string FormatCount(std::string_view format, int value) {
    std::string result;
    bool numberPlaced = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] == '%' && next == '%') {
            result += '%';
            ++i;
        } else if (format[i] == '%' && next == 'd' && !numberPlaced) {
            result += std::to_string(value);
            numberPlaced = true;
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

} // namespace tarvik
