#pragma once

#include "editor/cli/CliCommand.h"

#include <iosfwd>

namespace tarvik::cli {

// The texts of "tarvik-cli --help", "tarvik-cli help COMMAND" and "tarvik-cli --version",
// laid out so that help2man can make the manual page from them: a section starts with a
// line "Name:", and a line "  NAME  TEXT" becomes a tagged paragraph.
void WriteUsage(std::ostream& out);
void WriteCommandHelp(const CliCommand& command, std::ostream& out);
void WriteVersion(std::ostream& out);

} // namespace tarvik::cli
