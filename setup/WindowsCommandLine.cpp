#include "setup/WindowsCommandLine.h"

#include <algorithm>

namespace setup {

std::string QuoteCommandWord(std::string_view word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string_view::npos) {
        return std::string(word);
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only in front of a quote.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinWindowsCommandLine(std::string_view program,
                                   const std::vector<std::string>& arguments) {
    std::string line = QuoteCommandWord(program);
    for (const std::string& argument : arguments) {
        line += ' ';
        line += QuoteCommandWord(argument);
    }
    return line;
}

std::size_t ProgramWordLength(std::string_view commandLine) {
    if (commandLine.starts_with('"')) {
        const std::size_t close = commandLine.find('"', 1);
        return close == std::string_view::npos ? commandLine.size() : close + 1;
    }
    return std::min(commandLine.find_first_of(" \t"), commandLine.size());
}

} // namespace setup
