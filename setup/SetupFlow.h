#pragma once

#include "setup/SetupLog.h"
#include "setup/SetupWindows.h"
#include "setup/Switches.h"
#include "setup/platform/SetupPlatform.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace setup {

// One whole run of setup: the system check, the switches, the windows, the extraction of the
// package on the extractor thread while the main thread runs the message loop, the programs
// of the configuration's section "startup" one after another, and the clean-up. Every step is
// a line of the install log; failures are log lines too, and the run goes on as far as it can.
class SetupFlow {
public:
    SetupFlow(SetupLog& log, SetupPlatform& platform, SetupWindows& windows);

    // Runs setup for this command line (see ReadSwitches) and returns the exit status: 0 when
    // the whole package was extracted and every configured program started; 1 when the
    // package could not be read or extracted in full (a cancel included), setup.ini could not
    // be loaded, it has no section "startup", or a program could not be started.
    int run(std::string_view commandLine, std::size_t programPathLength);

private:
    // Starts the programs of the section "startup" in key order, each after the previous has
    // ended. True when the configuration was read and every program started.
    bool runRealSetups(const std::string& tempFolder, const std::string& argumentTail);

    // Starts one program, `value` naming it inside the package's "setup" folder, followed by
    // its arguments and the argument tail; waits for it. True when it started.
    bool runRealSetup(const std::string& tempFolder, const std::string& value,
                      const std::string& argumentTail);

    SetupLog& log_;
    SetupPlatform& platform_;
    SetupWindows& windows_;
};

} // namespace setup
