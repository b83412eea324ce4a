#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The few operating-system services that setup needs, in their POSIX form.
namespace setup {

// Package names and setup's own paths use backslashes as folder separators; on this system
// they become slashes.
std::string NativePath(std::string_view path);

// True when the path names an existing file, folder or other object.
bool PathExists(const std::string& path);

// The system temporary folder: $TMPDIR when set and not empty, else /tmp; always ends in '/'.
std::string TempFolder();

// Creates an empty file with a name no one else holds in `folder`: up to three characters of
// `prefix`, four hexadecimal digits and ".tmp". Uniqueness comes from exclusive creation.
// Returns the file's full path, or nothing when no name could be created.
std::optional<std::string> CreateUniqueTempFile(const std::string& folder, std::string_view prefix);

// Creates one folder, private to the user (mode 0700). Its parent must exist.
bool CreateFolder(const std::string& path);

// What the operating-system check looks at.
struct OsVersion {
    bool bNtPlatform = false;
    std::uint32_t dwMajorVersion = 0;
};

// The version of the running system; nothing when it cannot be read. This system is not of
// the old family that setup refuses, so the check passes.
std::optional<OsVersion> QueryOsVersion();

// A calendar time in UTC, fields as people write them (month 1-12, day 1-31).
struct SystemTime {
    int wYear = 0;
    int wMonth = 0;
    int wDay = 0;
    int wHour = 0;
    int wMinute = 0;
    int wSecond = 0;
};

SystemTime CurrentUtcTime();

// Where the install log lives: $QL_INST_LOG when set and not empty, else $HOME/ql_inst.log;
// empty when neither is known.
std::string DefaultLogPath();

} // namespace setup
