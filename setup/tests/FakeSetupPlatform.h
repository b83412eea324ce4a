#pragma once

#include "setup/platform/PosixSetupPlatform.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace setup::test {

// The POSIX platform with the parts a run's tests control: the program's own file (the test
// package), the temporary folders, the system's version, and process starts, which are
// recorded instead of run. Each can be made to fail.
class FakeSetupPlatform : public PosixSetupPlatform {
public:
    FakeSetupPlatform(std::string modulePath, std::string systemTemp);

    std::optional<OsVersion> queryOsVersion() override { return osVersion; }
    std::string modulePath() override { return modulePath_; }
    std::optional<std::string> systemTempFolder() override { return systemTemp_; }
    std::optional<std::string> createTempFolder(std::string_view prefix) override;
    std::optional<ProcessId> startProcess(const ProcessCommand& command) override;
    void waitForProcess(ProcessId process) override;

    std::optional<OsVersion> osVersion = OsVersion{true, 10};
    bool tempFolderFails = false;
    // Programs (their file names) that cannot start.
    std::set<std::string> failingPrograms;

    // Every started command, as program file name and arguments joined by "|", in order; the
    // folders the temporary folders were made in; and the processes waited for.
    std::vector<std::string> started;
    std::vector<std::string> tempFolders;
    std::vector<ProcessId> waited;

private:
    std::string modulePath_;
    std::string systemTemp_;
};

} // namespace setup::test
