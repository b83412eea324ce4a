#include "testing/TemporaryFolder.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace tarvik::testing {
namespace {

// Names are drawn at random and the folder is made only where none was: a folder left
// by an earlier run, or made by a test running beside this one, is never shared.
constexpr int kAttempts = 100;

} // namespace

TemporaryFolder::TemporaryFolder() : TemporaryFolder(std::filesystem::temp_directory_path()) {}

TemporaryFolder::TemporaryFolder(const std::filesystem::path& root) {
    std::random_device seed;
    std::mt19937_64 names(seed());
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path candidate = root / ("tarvik-test-" + std::to_string(names()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
        if (ec) {
            throw std::filesystem::filesystem_error("cannot make a temporary folder", candidate,
                                                    ec);
        }
    }
    throw std::runtime_error("no free name for a temporary folder under " + root.string());
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::file(std::string_view name) const {
    return (path_ / name).string();
}

} // namespace tarvik::testing
