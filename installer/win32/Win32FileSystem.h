#pragma once

#include "installer/FileSystem.h"

namespace installer {

// The files and folders of this machine.
class Win32FileSystem : public FileSystem {
public:
    bool exists(std::string_view path) override;
    bool isFolder(std::string_view path) override;
    Status copyFile(std::string_view from, std::string_view to) override;
    Status moveFile(std::string_view from, std::string_view to) override;
    Status writeFile(std::string_view path, std::string_view bytes) override;
    Outcome<std::string> readFile(std::string_view path) override;
    Status removeFile(std::string_view path) override;
    Status makeFolder(std::string_view path) override;
    Status removeFolder(std::string_view path) override;
};

} // namespace installer
