#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/form/FormModel.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::cli {

// The arguments of the form commands: FILE.sim, an optional "--model 0|1|2" anywhere after
// it, and the rest in order.
struct FormArgs {
    std::string path;
    std::optional<int> model;
    std::vector<std::string_view> rest;
};

// Parses FormArgs; nothing when the file is missing or --model lacks a valid index.
std::optional<FormArgs> ParseFormArgs(CliArgs args);

// Opens the program file into doc through form as the editor's Open does, then applies
// the model when one is given. On failure writes the messages to err and gives false.
bool OpenIntoForm(FormModel& form, const FormArgs& args, std::ostream& err);

} // namespace tarvik::cli
