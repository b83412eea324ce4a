#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace tarvik {

// The folder of the running program's executable; empty when the system does not tell.
std::filesystem::path RunningProgramFolder();

// The helper program `name` that a program in `programFolder` starts: the file beside it (the
// build tree, where every program lies in its target's folder), else the one in the folder that
// an installed tree keeps such helpers in, off the PATH (lib/tarvik beside bin/). Nothing when
// neither is there.
std::optional<std::filesystem::path> FindHelperProgram(const std::filesystem::path& programFolder,
                                                       std::string_view name);

} // namespace tarvik
