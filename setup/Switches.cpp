#include "setup/Switches.h"

namespace setup {

std::string JoinCommandLine(std::span<const std::string> args) {
    std::string line;
    for (const std::string& arg : args) {
        if (&arg != args.data()) {
            line += ' ';
        }
        line += arg;
    }
    return line;
}

Switches ReadSwitches(std::string_view commandLine, std::size_t programPathLength) {
    Switches switches;
    const std::size_t space = commandLine.find(' ', programPathLength);
    if (space == std::string_view::npos || space == 0) {
        return switches;
    }
    switches.argumentTail = commandLine.substr(space, space + 2);
    const std::string_view tail = switches.argumentTail;
    if (tail.size() < 2 || tail[1] != '/') {
        return switches;
    }
    const std::string_view option = tail.substr(1, 2);
    if (option == "/i" || option == "/I") {
        switches.logOn = true;
        switches.silent = true;
    } else if (option == "/l" || option == "/L") {
        switches.logOn = true;
    } else {
        switches.argumentTail.clear();
    }
    return switches;
}

} // namespace setup
