#pragma once

#include "editor/cli/CliCommand.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::cli {

// The hidden command behind the shell's completion: "tarvik-cli __complete WORD..." gets
// the words of the command line after "tarvik-cli", the last one being the word to
// complete (empty for a new word), and prints the words that may stand there, one a line.
// It prints completeFiles alone when file names may stand there; the shell lists those.
inline constexpr std::string_view completionCommand = "__complete";
inline constexpr std::string_view completeFiles = ":files";

int RunCompletion(CliArgs words, CliIo& io);

// What completion offers where the running system decides: the card readers present, the
// serial ports where a modem may be (listed, never opened: completion must not talk to
// devices), and the edits of the form ("NAME=" for every field that holds a value).
std::vector<std::string> ReaderCandidates();
std::vector<std::string> PortCandidates();
std::vector<std::string> EditCandidates();

} // namespace tarvik::cli
