#include "editor/core/LanguageFiles.h"

#include "base/TextLines.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace tarvik {
namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether name matches the wildcard: '*' any run of characters, '?' any one, letters a..z
// in either case. A '*' that fails is retried one character further on, so a match costs
// at most the product of the two lengths.
bool MatchesWildcard(std::string_view wildcard, std::string_view name) {
    std::size_t w = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && wildcard[w] == '*') {
            star = w++;
            resume = n;
        } else if (w < wildcard.size() &&
                   (wildcard[w] == '?' || LowerAscii(wildcard[w]) == LowerAscii(name[n]))) {
            ++w;
            ++n;
        } else if (star != std::string_view::npos) {
            w = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == '*') {
        ++w;
    }
    return w == wildcard.size();
}

bool IsListedKind(const std::filesystem::directory_entry& entry, bool directoriesOnly) {
    std::error_code error;
    return directoriesOnly ? entry.is_directory(error) : entry.is_regular_file(error);
}

} // namespace

std::vector<std::string> ListLanguageFiles(std::string_view folder, std::string_view pattern,
                                           bool directoriesOnly) {
    std::vector<std::string> found;
    if (folder.empty()) {
        return found;
    }
    std::string prefix(folder);
    if (prefix.back() != '/') {
        prefix += '/';
    }
    const std::string wildcard(pattern);
    std::error_code error;
    std::filesystem::directory_iterator entries(prefix, error);
    if (error) {
        return found;
    }
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        // Names from file systems that ignore case ("LAN_Deutsch.INI") match as well.
        if (!MatchesWildcard(wildcard, name) || !IsListedKind(entry, directoriesOnly)) {
            continue;
        }
        std::string path = prefix + name;
        if (UpperAscii(path).find("LAN_") != std::string::npos) {
            found.push_back(std::move(path));
        }
    }
    // Listed by name, as the file systems the language files come from list them, so the
    // language menu has the same order on every machine.
    std::sort(found.begin(), found.end());
    return found;
}

std::string LanguageName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() <= 8) {
        return {};
    }
    return std::string(name.substr(4, name.size() - 8));
}

std::string ManualName(std::string_view languageName) {
    return "Man_" + std::string(languageName) + ".pdf";
}

bool SameLanguage(std::string_view a, std::string_view b) {
    return UpperAscii(a) == UpperAscii(b);
}

std::vector<std::string> ManualCandidates(std::string_view prefix, std::string_view manualName) {
    std::vector<std::string> candidates = {std::string(prefix) + std::string(manualName)};
    if (manualName != kEnglishManual) {
        candidates.push_back(std::string(prefix) + std::string(kEnglishManual));
    }
    return candidates;
}

} // namespace tarvik
