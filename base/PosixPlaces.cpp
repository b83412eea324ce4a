// Where the programs keep their data on Linux, and where the running program lies.
#include "base/HelperProgram.h"
#include "base/Places.h"

#include <cstdlib>
#include <system_error>

namespace tarvik {

std::filesystem::path RunningProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}

namespace base {

void SetProcessEnvironment(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

std::filesystem::path AppDataFolder() {
    return XdgDataHome(ProcessEnvironment()) / "tarvik";
}

std::filesystem::path AppConfigFolder() {
    return XdgConfigHome(ProcessEnvironment()) / "tarvik";
}

} // namespace base
} // namespace tarvik
