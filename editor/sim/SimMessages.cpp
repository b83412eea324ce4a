#include "editor/sim/SimMessages.h"

namespace tarvik {

std::string FormatCount(std::string_view format, int count) {
    std::string text(format);
    const auto at = text.find("%d");
    if (at != std::string::npos) {
        text.replace(at, 2, std::to_string(count));
    }
    return text;
}

std::string ProgressCaption(int record, int count) {
    return "SIM " + std::to_string(record) + " / " + std::to_string(count);
}

} // namespace tarvik
