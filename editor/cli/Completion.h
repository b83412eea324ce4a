#pragma once

#include "editor/cli/CliCommand.h"

#include <string_view>

namespace tarvik::cli {

// The hidden command behind the shell's completion: "tarvik-cli __complete WORD..." gets
// the words of the command line after "tarvik-cli", the last one being the word to
// complete (empty for a new word), and prints the words that may stand there, one a line.
// It prints kCompleteFiles alone when file names may stand there; the shell lists those.
inline constexpr std::string_view kCompletionCommand = "__complete";
inline constexpr std::string_view kCompleteFiles = ":files";

int RunCompletion(CliArgs words, CliIo& io);

} // namespace tarvik::cli
