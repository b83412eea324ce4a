#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace setup {

// What the operating-system check looks at.
struct OsVersion {
    bool ntPlatform = false;
    std::uint32_t majorVersion = 0;
};

// A calendar time in UTC, fields as people write them (month 1-12, day 1-31).
struct SystemTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// A program to start and the arguments it receives after its own name.
struct ProcessCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// A started process, valid until it has been waited for.
using ProcessId = std::int64_t;

// The operating-system services of one setup run. The run receives them through this
// interface, as the log receives its clock, so that tests can stand in for a folder that
// cannot be made or a program that cannot be started.
class SetupPlatform {
public:
    virtual ~SetupPlatform() = default;

    // The version of the running system; nothing when it cannot be read.
    virtual std::optional<OsVersion> queryOsVersion() = 0;

    // The path of the running program's own file; empty when it cannot be found.
    virtual std::string modulePath() = 0;

    // The current folder; nothing when it cannot be read.
    virtual std::optional<std::string> currentDirectory() = 0;

    // The system temporary folder, ending in '/'; nothing when there is none.
    virtual std::optional<std::string> systemTempFolder() = 0;

    // Creates a new folder, private to the user, inside the system temporary folder: up to
    // three characters of `prefix`, four hexadecimal digits and ".tm!". The name is reserved
    // by creating the folder itself; a name that is taken makes it try another. Returns the
    // folder's path ending in '/', or nothing.
    virtual std::optional<std::string> createTempFolder(std::string_view prefix) = 0;

    // Deletes the folder and everything in it except the items whose names begin with ".",
    // never following a symbolic link. True when the folder itself is gone.
    virtual bool deleteFolderTree(const std::string& path) = 0;

    // Deletes one file (a symbolic link itself, never its target). False when there was
    // nothing to delete or it could not be deleted.
    virtual bool deleteFile(const std::string& path) = 0;

    // Gives the program file its owner's execute permission (packages carry none) and starts
    // it with this process's environment and current folder. Nothing when it cannot start.
    virtual std::optional<ProcessId> startProcess(const ProcessCommand& command) = 0;

    // Waits, without a time limit, until the process has ended, and releases it.
    virtual void waitForProcess(ProcessId process) = 0;
};

} // namespace setup
