#pragma once

// The folders where the programs keep their data and settings, looked up in one place.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::base {

// The value of an environment variable, or nothing when it is unset.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The environment of this process.
EnvironmentLookup ProcessEnvironment();

// Sets an environment variable of this process (and of the libraries it loaded, which read
// it with getenv), replacing its value. Both texts are UTF-8.
void SetProcessEnvironment(const std::string& name, const std::string& value);

// The XDG base folders for user data and settings: $XDG_DATA_HOME, else $HOME/.local/share;
// $XDG_CONFIG_HOME, else $HOME/.config. A relative or empty value is ignored, as the base
// directory rules say; without HOME the current folder stands for it.
std::filesystem::path XdgDataHome(const EnvironmentLookup& environment);
std::filesystem::path XdgConfigHome(const EnvironmentLookup& environment);

// The folder of this system's data (backups, job and message logs): $XDG_DATA_HOME/tarvik on
// Linux, %APPDATA%\Tarvik on Windows.
std::filesystem::path AppDataFolder();
// The folder of this system's settings: $XDG_CONFIG_HOME/tarvik, %APPDATA%\Tarvik.
std::filesystem::path AppConfigFolder();

} // namespace tarvik::base
