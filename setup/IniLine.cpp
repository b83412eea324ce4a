#include "setup/IniLine.h"

namespace setup {

IniLine ClassifyIniLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    line.remove_prefix(start);

    IniLine result;
    if (line.front() == ';') {
        result.kind = IniLine::Kind::Comment;
        return result;
    }
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close == 0 || close == std::string_view::npos) {
            result.kind = IniLine::Kind::Malformed;
            return result;
        }
        result.kind = IniLine::Kind::Section;
        result.name = line.substr(1, close - 1);
        return result;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return result;
    }
    const std::string_view key = line.substr(0, equals);
    result.kind = IniLine::Kind::Key;
    result.name = key.substr(0, key.find_first_of(" \t"));
    result.value = line.substr(equals + 1);
    return result;
}

} // namespace setup
