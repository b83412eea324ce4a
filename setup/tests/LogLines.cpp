#include "setup/tests/LogLines.h"

#include "setup/tests/TestPackageBuilder.h"

#include <filesystem>
#include <regex>
#include <stdexcept>
#include <utility>

namespace setup::test {

namespace {

// Every line of the log file as its stamp and its message.
std::vector<std::pair<std::string, std::string>> ParseLog(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    if (!std::filesystem::exists(path)) {
        return lines;
    }
    static const std::regex line(R"(\[(\d{4}-\d{2}-\d{1,2} \d{2}:\d{2}:\d{2})\]  ([^\r\n]*)\r\n)");
    const std::string text = ReadWholeFile(path);
    auto at = text.cbegin();
    std::smatch match;
    while (at != text.cend()) {
        if (!std::regex_search(at, text.cend(), match, line,
                               std::regex_constants::match_continuous)) {
            throw std::runtime_error("not a log line: " + std::string(at, text.cend()));
        }
        lines.emplace_back(match[1].str(), match[2].str());
        at = match[0].second;
    }
    return lines;
}

} // namespace

std::vector<std::string> LogMessages(const std::string& path) {
    std::vector<std::string> messages;
    for (auto& [stamp, message] : ParseLog(path)) {
        messages.push_back(std::move(message));
    }
    return messages;
}

std::vector<std::string> LogStamps(const std::string& path) {
    std::vector<std::string> stamps;
    for (auto& [stamp, message] : ParseLog(path)) {
        stamps.push_back(std::move(stamp));
    }
    return stamps;
}

} // namespace setup::test
