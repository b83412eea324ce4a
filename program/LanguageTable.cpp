#include "program/LanguageTable.h"

#include "base/Files.h"
#include "base/TextLines.h"
#include "program/TextKeyHash.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

namespace tarvik {
namespace {

// Longest translation used, in characters.
constexpr std::size_t kMaxTranslationLength = 100;

std::string ExpandLineBreaks(std::string line) {
    std::size_t at = 0;
    while ((at = line.find("^p", at)) != std::string::npos) {
        line.replace(at, 2, "\r\n");
        at += 2;
    }
    return line;
}

} // namespace

void LanguageTable::load(std::vector<std::string> lines) {
    std::vector<Line> loaded;
    loaded.reserve(lines.size());
    for (auto& raw : lines) {
        Line line;
        line.text = ExpandLineBreaks(std::move(raw));
        const std::size_t eq = line.text.find('=');
        line.keyHash =
            TextKeyHash(eq == std::string::npos ? std::string_view()
                                                : std::string_view(line.text).substr(0, eq));
        loaded.push_back(std::move(line));
    }
    lines_ = std::move(loaded);
}

void LanguageTable::loadBytes(std::string_view bytes) {
    load(SplitLines(bytes));
}

bool LanguageTable::loadFile(const std::string& path) {
    const base::FileResult<std::string> bytes =
        base::ReadFileStart(base::PathFromUtf8(path), largestFile + 1);
    if (!bytes || bytes->size() > largestFile) {
        return false;
    }
    loadBytes(*bytes);
    return true;
}

std::string TranslateText(const LanguageTable& table, std::string_view text) {
    std::string result(text);
    if (table.empty() || text.empty()) {
        return result;
    }
    const std::uint32_t hash = TextKeyHash(text);
    for (const auto& line : table.lines()) {
        if (line.keyHash != hash || !line.text.starts_with(text)) {
            continue;
        }
        const std::size_t from = text.size() + 1;
        result =
            from < line.text.size() ? line.text.substr(from, kMaxTranslationLength) : std::string();
    }
    return result;
}

} // namespace tarvik
