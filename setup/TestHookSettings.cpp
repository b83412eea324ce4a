#include "setup/TestHookSettings.h"

#include <charconv>

namespace setup {

namespace {

std::optional<std::size_t> ReadCount(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

TestHookSettings ParseTestHookSettings(std::string_view text) {
    TestHookSettings settings;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view setting = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t equals = setting.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = setting.substr(0, equals);
        const std::string_view value = setting.substr(equals + 1);
        if (key == "report") {
            settings.reportPath = value;
        } else if (key == "shots") {
            settings.shotFolder = value;
        } else if (key == "release") {
            settings.releasePath = value;
        } else if (key == "cancel-at") {
            settings.cancelAt = ReadCount(value);
        } else if (key == "pause-at") {
            settings.pauseAt = ReadCount(value);
        }
    }
    return settings;
}

} // namespace setup
