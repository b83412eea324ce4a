#include "base/Places.h"

#include <cstdlib>

namespace tarvik::base {
namespace {

std::filesystem::path XdgFolder(const EnvironmentLookup& environment, std::string_view variable,
                                const std::filesystem::path& belowHome) {
    const std::optional<std::string> value = environment(variable);
    if (value && !value->empty() && std::filesystem::path(*value).is_absolute()) {
        return *value;
    }
    const std::optional<std::string> home = environment("HOME");
    return std::filesystem::path(home && !home->empty() ? *home : ".") / belowHome;
}

} // namespace

EnvironmentLookup ProcessEnvironment() {
    return [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        return value == nullptr ? std::nullopt : std::optional<std::string>(value);
    };
}

std::filesystem::path XdgDataHome(const EnvironmentLookup& environment) {
    return XdgFolder(environment, "XDG_DATA_HOME", std::filesystem::path(".local") / "share");
}

std::filesystem::path XdgConfigHome(const EnvironmentLookup& environment) {
    return XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
}

} // namespace tarvik::base
