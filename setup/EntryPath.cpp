#include "setup/EntryPath.h"

#include "base/Windows1252.h"

#include <algorithm>

namespace setup {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDriveComponent(std::string_view component) {
    return component.size() >= 2 && IsAsciiLetter(component[0]) && component[1] == ':';
}

} // namespace

std::optional<std::vector<std::string>> EntryPathComponents(std::string_view name) {
    std::string_view rest = name;
    if (!rest.empty() && IsSeparator(rest.front())) {
        rest.remove_prefix(1);
        if (!rest.empty() && IsSeparator(rest.front())) {
            return std::nullopt;
        }
    }
    std::vector<std::string> components;
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        const std::string_view component = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (component.empty() || component == ".") {
            continue;
        }
        if (component == ".." || IsDriveComponent(component)) {
            return std::nullopt;
        }
        components.emplace_back(component);
    }
    return components;
}

std::string PackageNameToPath(std::string_view name) {
    std::string path = tarvik::Windows1252ToUtf8(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace setup
