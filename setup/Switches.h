#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace setup {

// What the command line asks of a run.
struct Switches {
    bool logOn = false;
    bool silent = false;
    // Passed on at the end of every program's command line.
    std::string argumentTail;
};

// The command line as setup reads it: the program path and the arguments joined by single
// spaces.
std::string JoinCommandLine(std::span<const std::string> args);

// Reads the switches. The first space after the program path (its first programPathLength
// characters; a path may hold spaces) starts the argument tail, which runs for at most (index
// of that space + 2) characters. A tail whose second and third characters are "/i" or "/I"
// turns the log on and makes the run silent, "/l" or "/L" turns the log on; any other "/"
// switch empties the tail, and a tail that does not start with a "/" switch stays as it is and
// turns nothing on.
Switches ReadSwitches(std::string_view commandLine, std::size_t programPathLength);

} // namespace setup
