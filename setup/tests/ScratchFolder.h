#pragma once

#include "testing/TemporaryFolder.h"

#include <filesystem>
#include <string>

namespace setup::test {

// The shared temporary folder, with the `folder / "name"` spelling setup's tests use for
// the paths they hand to setup's string-taking functions.
class ScratchFolder {
public:
    const std::filesystem::path& path() const { return folder_.path(); }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return folder_.file(name); }

private:
    tarvik::testing::TemporaryFolder folder_;
};

} // namespace setup::test
