#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// One word of a Windows command line, quoted so that the C runtime's parser (and
// CommandLineToArgvW) gives it back unchanged: a word without blanks, tabs or quotes stays as
// it is; any other is put in quotes, with a quote inside escaped by a backslash and the
// backslashes before a quote (or before the closing quote) doubled.
std::string QuoteCommandWord(std::string_view word);

// The command line that starts `program` with `arguments`: the words quoted as above,
// separated by one blank. The program comes first, as the system expects.
std::string JoinWindowsCommandLine(std::string_view program,
                                   const std::vector<std::string>& arguments);

// The length of the command line's first word, the program, as the system reads it: up to the
// closing quote when it starts with one (the whole line when that quote is missing), else up
// to the first blank or tab.
std::size_t ProgramWordLength(std::string_view commandLine);

} // namespace setup
