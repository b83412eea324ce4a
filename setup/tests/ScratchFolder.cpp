#include "setup/tests/ScratchFolder.h"

#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>

namespace setup::test {

ScratchFolder::ScratchFolder() {
    // A name nobody holds yet is reserved by creating the folder; a taken one makes it try
    // another.
    const std::filesystem::path parent = std::filesystem::temp_directory_path();
    std::random_device seed;
    std::mt19937 numbers(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "setup-test-%08X", static_cast<unsigned>(numbers()));
        std::error_code error;
        if (std::filesystem::create_directory(parent / name, error)) {
            path_ = parent / name;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch folder");
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace setup::test
