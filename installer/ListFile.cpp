#include "installer/ListFile.h"

#include "base/Utf8.h"

#include <algorithm>

namespace installer {

namespace {

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool IsUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t c = tarvik::NextUtf8(text, pos);
        // A replacement character that was written as one is text; a malformed sequence is not.
        if (c == tarvik::kReplacementCharacter &&
            text.substr(start, pos - start) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

std::string AtLine(int number, std::string_view what) {
    return "line " + std::to_string(number) + ": " + std::string(what);
}

} // namespace

Outcome<std::vector<ListSection>> ReadListFile(std::string_view text) {
    using Result = Outcome<std::vector<ListSection>>;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<ListSection> sections;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view raw = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (raw.ends_with('\r')) {
            raw.remove_suffix(1);
        }
        if (raw.find('\0') != std::string_view::npos || !IsUtf8(raw)) {
            return Result::failure(AtLine(number, "is not UTF-8 text"));
        }
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return Result::failure(AtLine(number, "a section header ends in ']'"));
            }
            const std::string name(Trim(line.substr(1, line.size() - 2)));
            if (name.empty()) {
                return Result::failure(AtLine(number, "the section has no name"));
            }
            const bool repeated = std::any_of(sections.begin(), sections.end(),
                                              [&](const ListSection& s) { return s.name == name; });
            if (repeated) {
                return Result::failure(AtLine(number, "section [" + name + "] comes twice"));
            }
            sections.push_back({name, number, {}});
            continue;
        }
        if (sections.empty()) {
            return Result::failure(AtLine(number, "comes before the first [section]"));
        }
        ListLine entry{number, false, {}, std::string(line)};
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            entry.keyed = true;
            entry.key = Trim(line.substr(0, equals));
            entry.value = Trim(line.substr(equals + 1));
            if (entry.key.empty()) {
                return Result::failure(AtLine(number, "has no key before its '='"));
            }
        }
        sections.back().lines.push_back(std::move(entry));
    }
    return {std::move(sections), {}};
}

} // namespace installer
