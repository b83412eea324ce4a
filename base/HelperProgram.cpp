#include "base/HelperProgram.h"

#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

std::optional<fs::path> FindHelperProgram(const fs::path& programFolder, std::string_view name) {
    if (programFolder.empty()) {
        return std::nullopt;
    }
    for (const fs::path& candidate :
         {programFolder / name, programFolder / TARVIK_HELPERDIR_FROM_BINDIR / name}) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) {
            return candidate.lexically_normal();
        }
    }
    return std::nullopt;
}

} // namespace tarvik
