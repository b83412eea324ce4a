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
    switches.strArgumentTail = commandLine.substr(space, space + 2);
    const std::string_view tail = switches.strArgumentTail;
    if (tail.size() < 2 || tail[1] != '/') {
        return switches;
    }
    const std::string_view option = tail.substr(1, 2);
    if (option == "/i" || option == "/I") {
        switches.bLogOn = true;
        switches.bSilent = true;
    } else if (option == "/l" || option == "/L") {
        switches.bLogOn = true;
    } else {
        switches.strArgumentTail.clear();
    }
    return switches;
}

} // namespace setup
