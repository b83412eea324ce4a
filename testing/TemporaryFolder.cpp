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
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::remove_all(path_, ec);
    if (!ec) {
        return;
    }
    // A test may leave a read-only file (which Windows will not delete) or a folder closed to
    // its owner (whose entries POSIX will not unlink): open everything up, then try again.
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_symlink(ignored)) {
            continue; // its target is not ours to change
        }
        const auto wanted =
            it->is_directory(ignored) ? fs::perms::owner_all : fs::perms::owner_write;
        fs::permissions(it->path(), wanted, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

std::string TemporaryFolder::file(std::string_view name) const {
    return (path_ / name).string();
}

} // namespace tarvik::testing
