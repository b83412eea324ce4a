#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/ExitStatus.h"
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::cli {

// The name of "-" in messages.
inline constexpr std::string_view standardInput = "standard input";
inline constexpr std::string_view standardOutput = "standard output";

// The name of the file at path in messages: the path, or "standard input" for "-".
std::string_view InputName(const std::string& path);

// Writes "tarvik-cli: what: reason" to err.
void ReportProblem(std::string_view what, std::string_view reason, std::ostream& err);

// The content of the file at path, or of standard input for "-". Nothing after writing
// "tarvik-cli: PATH: REASON" (the system's reason) to err.
std::optional<std::string> ReadInput(const std::string& path, CliIo& io);

// Loads the program file at path (standard input for "-") into doc as the editor's Open
// does, with the form's hooks when there is a form. On failure writes the file's name and
// why to err ("tarvik-cli: a.sim: not a program file") and gives false.
bool LoadDocument(ProgramDocument& doc, const std::string& path, CliIo& io,
                  const DocumentHooks& hooks = {});

// Saves doc as the program file at path as the editor's Save does, or writes it to standard
// output for "-". Gives exitOk, or exitUsage after writing the file's name and the
// system's reason to err.
int SaveOrReport(ProgramDocument& doc, const std::string& path, CliIo& io);

// A device model index written as one digit ("0" for the first model); nothing for any
// other text or a model that does not exist.
std::optional<int> ParseModelIndex(std::string_view text);

// The model given with "--model" (checked when the arguments were parsed); nothing when
// none was given.
std::optional<int> GivenModel(const ParsedArgs& args);

// The program's 8-bit text of a command-line argument, which comes as UTF-8. A character
// that the 8-bit text cannot hold is refused: the message, naming the argument as what,
// goes to err and nothing is given.
std::optional<std::string> ArgumentText(std::string_view utf8, std::string_view what,
                                        std::ostream& err);

// Writes the lines of 8-bit text (split at CR LF, LF or CR) to out as UTF-8, each followed
// by "\n".
void WriteLines(std::string_view text, std::ostream& out);

} // namespace tarvik::cli
