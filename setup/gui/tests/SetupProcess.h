#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace setup::test {

// A program run as a process of its own, with exactly the given environment (nothing is
// inherited) and current folder. A process still running when the object goes is killed.
class SetupProcess {
public:
    SetupProcess(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment,
                 const std::string& currentFolder);
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;
    ~SetupProcess();

    pid_t pid() const { return pid_; }

    // The exit status once the process has ended, -1 when a signal ended it; nothing when it
    // still runs after `timeout`, which leaves it running.
    std::optional<int> wait(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

} // namespace setup::test
