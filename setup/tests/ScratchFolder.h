#pragma once

#include <filesystem>
#include <string>

namespace setup::test {

// A fresh folder under the system temporary folder, removed with everything in it on
// destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    const std::filesystem::path& Path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace setup::test
