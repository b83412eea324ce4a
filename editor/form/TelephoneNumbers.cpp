#include "editor/form/TelephoneNumbers.h"

#include <cctype>

namespace tarvik {
namespace {

bool IsDialKey(char key) {
    return (key >= '0' && key <= '9') || key == '*' || key == '#';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// TLn (with or without the C or S suffix), TOn:m and TKn: two letters and a digit.
bool IsTelephoneEntry(std::string_view name) {
    name = Trimmed(name);
    if (name.size() < 3 || std::toupper(static_cast<unsigned char>(name[0])) != 'T' ||
        name[2] < '0' || name[2] > '9') {
        return false;
    }
    const int kind = std::toupper(static_cast<unsigned char>(name[1]));
    return kind == 'L' || kind == 'O' || kind == 'K';
}

} // namespace

bool TelephoneKeyAllowed(char key, std::size_t position) {
    if (static_cast<unsigned char>(key) < 32) {
        return true;
    }
    return IsDialKey(key) || (key == '+' && position == 0);
}

bool IsDialableNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    for (const char c : text) {
        if (!IsDialKey(c)) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> UndialableEntries(std::span<const std::string> lines) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || !IsTelephoneEntry(std::string_view(line).substr(0, eq))) {
            continue;
        }
        if (!IsDialableNumber(Trimmed(std::string_view(line).substr(eq + 1)))) {
            found.push_back(line);
        }
    }
    return found;
}

} // namespace tarvik
