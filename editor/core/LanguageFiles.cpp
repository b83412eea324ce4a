#include "editor/core/LanguageFiles.h"

#include "base/TextLines.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <system_error>

namespace tarvik {
namespace {

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
        if (fnmatch(wildcard.c_str(), name.c_str(), FNM_CASEFOLD) != 0 ||
            !IsListedKind(entry, directoriesOnly)) {
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
