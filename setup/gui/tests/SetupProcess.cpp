#include "setup/gui/tests/SetupProcess.h"

#include "testing/WaitUntil.h"

#include <csignal>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>

namespace setup::test {

SetupProcess::SetupProcess(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::string& currentFolder) {
    std::vector<std::string> words = arguments;
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> settings;
    for (const auto& [name, value] : environment) {
        settings.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& setting : settings) {
        envp.push_back(setting.data());
    }
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addchdir_np(&actions, currentFolder.c_str());
    const int error = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + arguments.front());
    }
}

SetupProcess::~SetupProcess() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

std::optional<int> SetupProcess::wait(std::chrono::milliseconds timeout) {
    tarvik::testing::WaitUntil(
        [&] {
            int status = 0;
            if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            return status_.has_value();
        },
        timeout, std::chrono::milliseconds(5));
    return status_;
}

} // namespace setup::test
