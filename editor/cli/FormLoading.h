#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/form/FormModel.h"

#include <optional>
#include <string>

namespace tarvik::cli {

// Opens the program file at path (standard input for "-") into the form as the editor's
// Open does, then applies the model when one is given. On failure writes the file's name
// and why to err and gives false.
bool OpenIntoForm(FormModel& form, const std::string& path, std::optional<int> model, CliIo& io);

} // namespace tarvik::cli
