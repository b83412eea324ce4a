#pragma once

#include <string>
#include <vector>

namespace simcard {

// Runs command (looked up in PATH) with this process's terminal and environment, and
// waits for it. Ctrl+C, SIGTERM and SIGHUP meanwhile go to the command and do not end this
// process, so that it can clean up after the command. Gives the command's exit status,
// 128 + the signal when a signal ended it, 127 when it could not be started.
int RunCommand(const std::vector<std::string>& command);

} // namespace simcard
