#pragma once

#include "setup/platform/HostServices.h"
#include "setup/platform/SetupPlatform.h"

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The setup platform on a POSIX system:
// - the system temporary folder is $TMPDIR when set and not empty, else /tmp;
// - the temporary folder of a run is made with mkdir, mode 0700, which fails on a taken name;
// - a program starts with posix_spawn, with no signal blocked and SIGUSR1 at its default.
class PosixSetupPlatform : public SetupPlatform {
public:
    // Reported as a modern system of the NT family, which passes the check.
    std::optional<OsVersion> queryOsVersion() override;
    std::string modulePath() override;
    std::optional<std::string> currentDirectory() override;
    std::optional<std::string> systemTempFolder() override;
    std::optional<std::string> createTempFolder(std::string_view prefix) override;
    bool deleteFolderTree(const std::string& path) override;
    bool deleteFile(const std::string& path) override;
    std::optional<ProcessId> startProcess(const ProcessCommand& command) override;
    void waitForProcess(ProcessId process) override;
};

// Creates a new folder in `parent` named from up to three characters of `prefix`, four
// hexadecimal digits and ".tm!", mode 0700. Tries every one of the 65536 names at most once,
// from `firstNumber` on, and gives up on the first failure other than a taken name. Returns
// its path ending in '/'.
std::optional<std::string> CreateUniqueFolder(const std::string& parent, std::string_view prefix,
                                              unsigned firstNumber);

// On this system the install log lives at $QL_INST_LOG when set and not empty, else at
// $HOME/ql_inst.log (DefaultLogPath in HostServices.h).

} // namespace setup
