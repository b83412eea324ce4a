#include "installer/PathList.h"

#include "installer/WindowsPath.h"

#include <vector>

namespace installer {

namespace {

// The entries of value; a ';' between double quotes belongs to its entry.
std::vector<std::string_view> SplitEntries(std::string_view value) {
    std::vector<std::string_view> entries;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') {
            quoted = !quoted;
        } else if (value[i] == ';' && !quoted) {
            entries.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    entries.push_back(value.substr(start));
    return entries;
}

std::string Comparable(std::string_view entry, const ExpandVariables& expand) {
    std::string text;
    for (const char c : entry) {
        if (c != '"') {
            text += c;
        }
    }
    text = FoldCase(expand ? expand(text) : text);
    while (!text.empty() && (text.back() == '\\' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

} // namespace

bool SamePathEntry(std::string_view a, std::string_view b, const ExpandVariables& expand) {
    const std::string left = Comparable(a, expand);
    return !left.empty() && left == Comparable(b, expand);
}

PathEdit AppendPathEntry(std::string_view value, std::string_view folder,
                         const ExpandVariables& expand) {
    for (const std::string_view entry : SplitEntries(value)) {
        if (SamePathEntry(entry, folder, expand)) {
            return {std::string(value), false};
        }
    }
    std::string edited(value);
    if (!edited.empty() && edited.back() != ';') {
        edited += ';';
    }
    // A folder with a ';' in its name is one entry only in quotes.
    if (folder.find(';') != std::string_view::npos) {
        edited += '"' + std::string(folder) + '"';
    } else {
        edited += folder;
    }
    return {std::move(edited), true};
}

PathEdit RemovePathEntry(std::string_view value, std::string_view folder,
                         const ExpandVariables& expand) {
    std::string edited;
    bool first = true;
    bool changed = false;
    for (const std::string_view entry : SplitEntries(value)) {
        if (SamePathEntry(entry, folder, expand)) {
            changed = true;
            continue;
        }
        if (!first) {
            edited += ';';
        }
        edited += entry;
        first = false;
    }
    if (!changed) {
        return {std::string(value), false};
    }
    return {std::move(edited), true};
}

} // namespace installer
