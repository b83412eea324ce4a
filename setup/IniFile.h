#pragma once

#include "setup/IniSection.h"
#include "setup/platform/FileHandle.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// A read-only configuration file of "[section]" headers and "key=value" lines.
class IniFile {
public:
    // Reads the file. False when it cannot be opened (the reader then keeps what it held), when
    // a key line comes before any section header, or at a malformed header; the sections read
    // before the failing line stay. A successful open replaces the former contents.
    bool load(const std::string& path);

    // The section of exactly this name (case-sensitive), or nullptr.
    const IniSection* getSection(const std::string& name) const;

private:
    bool readLines(const FileHandle& file);
    bool processLine(std::string_view line);

    // Absent until the first successful open.
    std::optional<std::map<std::string, IniSection>> sections_;
    IniSection* currentSection_ = nullptr;
};

} // namespace setup
