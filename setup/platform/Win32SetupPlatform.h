#pragma once

#include "setup/platform/HostServices.h"
#include "setup/platform/SetupPlatform.h"

#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The setup platform on Windows:
// - the system temporary folder is GetTempPathW's; without one, the Windows folder's "TEMP",
//   made when missing;
// - the temporary folder of a run takes the unique name that GetTempFileNameW reserves, with
//   ".tmp" turned into ".tm!";
// - a program starts with CreateProcessW from a command line whose first word is the program.
// Paths go to the core with "/" as their separator. The install log lives at
// "c:\ql_inst.log" unless QL_INST_LOG names another file.
class Win32SetupPlatform : public SetupPlatform {
public:
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

} // namespace setup
