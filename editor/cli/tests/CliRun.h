#pragma once

#include "editor/cli/CliCommand.h"
#include "program/ProgramFile.h"
#include "testing/FileContents.h"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::cli {

// What one run of tarvik-cli gave: its exit status and everything it wrote.
struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Runs tarvik-cli with args (without the program name) and input as its standard input,
// capturing both output streams.
inline CliRun RunWith(std::vector<std::string> args, const std::string& input = {}) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliIo io{in, out, err};
    const int status = RunCli(views, io);
    return {status, out.str(), err.str()};
}

// Writes a program file holding the plain document, scrambled as a save stores it.
inline void WriteScrambled(const std::string& path, std::string_view plain) {
    tarvik::testing::WriteAll(path, ScrambleText(plain) + "\r\n");
}

} // namespace tarvik::cli
