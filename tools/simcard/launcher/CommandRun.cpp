#include "tools/simcard/launcher/CommandRun.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace simcard {

namespace {

// The signals that would end this process while the command runs.
sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

int ExitStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 1;
}

} // namespace

int RunCommand(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const auto& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const sigset_t signals = StopSignals();
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &signals, &previous);

    // The command starts with no signal blocked and default handlers.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int spawned = ::posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        ::sigprocmask(SIG_SETMASK, &previous, nullptr);
        std::cerr << "simcard-session: cannot start " << command[0] << ": "
                  << std::strerror(spawned) << "\n";
        return 127;
    }

    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR))
            break;
        // Wake up for a signal, or now and then to look at the command again.
        const timespec interval{0, 100'000'000};
        siginfo_t received;
        const int signal = ::sigtimedwait(&signals, &received, &interval);
        // A Ctrl+C from the terminal reached the command already; anything else is passed on.
        if (signal > 0 && !(signal == SIGINT && received.si_code == SI_KERNEL))
            ::kill(child, signal);
    }
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    return ExitStatus(status);
}

} // namespace simcard
