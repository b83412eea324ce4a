#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::testing {

// A fresh folder of its own under the system's temporary folder, made for one test and
// removed with everything in it when the test is done.
class TemporaryFolder {
public:
    // Under the system's temporary folder, or under `root` (a faster file system, say).
    TemporaryFolder();
    explicit TemporaryFolder(const std::filesystem::path& root);
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as a string for the APIs that take one.
    std::string file(std::string_view name) const;

private:
    std::filesystem::path path_;
};

} // namespace tarvik::testing
