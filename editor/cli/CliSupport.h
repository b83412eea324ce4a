#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/ExitStatus.h"
#include "program/ProgramDocument.h"

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvik::cli {

// Writes "usage: tarvik-cli <name> <arguments>" of command to err and gives kExitUsage.
int UsageError(const CliCommand& command, std::ostream& err);

// The command named name; it must be in the table.
const CliCommand& CommandNamed(std::string_view name);

// Writes each message on its own line to err and gives kExitUsage (a file that could not
// be read, parsed or written).
int ReportFailure(std::span<const std::string> messages, std::ostream& err);

// Loads the program file at path into doc as the editor's Open does. On failure writes the
// messages to err ("DISK ERROR" when the file cannot be read, "Invalid file format" when it
// is not a program file) and gives false.
bool LoadDocument(ProgramDocument& doc, const std::string& path, std::ostream& err);

// Saves doc as the program file at path as the editor's Save does. Gives kExitOk, or
// kExitUsage after writing the messages to err.
int SaveOrReport(ProgramDocument& doc, const std::string& path, std::ostream& err);

// A device model index written as one digit ("0" for the first model); nothing for any
// other text or a model that does not exist.
std::optional<int> ParseModelIndex(std::string_view text);

// The program's 8-bit text of a command-line argument, which comes as UTF-8. A character
// that the 8-bit text cannot hold is refused: the message goes to err and nothing is given.
std::optional<std::string> ArgumentText(std::string_view utf8, std::ostream& err);

// Writes the lines of 8-bit text (split at CR LF, LF or CR) to out as UTF-8, each followed
// by "\n".
void WriteLines(std::string_view text, std::ostream& out);

} // namespace tarvik::cli
