#pragma once

// The installer's command line. setup runs it from a package with setup's own switch, if any:
// "/i" (silent: no window) or "/l" (log on: windows as usual). The uninstall entry runs the
// installed copy with "/uninstall", and with "/quiet" too when nothing may be asked.

#include "installer/Outcome.h"

#include <string>
#include <vector>

namespace installer {

enum class Task { Install, Uninstall };

struct Switches {
    Task task = Task::Install;
    bool quiet = false; // no message box: the result is the exit status (and standard error)
};

// Refuses an unknown switch and any other argument. Switches ignore case.
Outcome<Switches> ReadSwitches(const std::vector<std::string>& arguments);

// The exit statuses.
inline constexpr int exitDone = 0;
inline constexpr int exitFailed = 1;     // nothing was changed, or it says what was left
inline constexpr int exitBadRequest = 2; // a bad command line, list or record
inline constexpr int exitCancelled = 3;  // the user said no

} // namespace installer
