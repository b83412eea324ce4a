#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tarvik {

// What a program answers when asked for its help or its version.
struct ProgramInfo {
    std::string_view name;
    std::string_view version;
    std::string_view help;
};

// "--help" or "--version" as the only argument after the program's name asks for information
// and nothing else: writes the help, or the name and version on one line, to `out` and returns
// true. Any other command line (no argument, more arguments, other words) is a normal run and
// gets false, so that a program that hands its arguments on keeps doing so.
bool AnswerInfoRequest(std::span<const std::string> args, const ProgramInfo& info,
                       std::ostream& out);

} // namespace tarvik
