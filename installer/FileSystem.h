#pragma once

// The file operations the installer needs, on full Windows paths (UTF-8, backslashes). One
// implementation calls the system; the tests use one in memory.

#include "installer/Outcome.h"

#include <string>
#include <string_view>

namespace installer {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Whether a file or folder of that name exists.
    virtual bool exists(std::string_view path) = 0;
    virtual bool isFolder(std::string_view path) = 0;
    // Copies a file; an existing target is replaced.
    virtual Status copyFile(std::string_view from, std::string_view to) = 0;
    // Gives a file a new name (a folder on the same drive); the target must not exist.
    virtual Status moveFile(std::string_view from, std::string_view to) = 0;
    // Stores bytes as the file, replacing it.
    virtual Status writeFile(std::string_view path, std::string_view bytes) = 0;
    virtual Outcome<std::string> readFile(std::string_view path) = 0;
    virtual Status removeFile(std::string_view path) = 0;
    // Makes one folder whose parent exists.
    virtual Status makeFolder(std::string_view path) = 0;
    // Removes a folder that is empty; fails on one that is not.
    virtual Status removeFolder(std::string_view path) = 0;
};

} // namespace installer
