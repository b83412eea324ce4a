#pragma once

#include <functional>
#include <grp.h>
#include <optional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvik::testing {

// The user and group that a test acting as an ordinary user runs as: nobody and nogroup when
// the tests run as the superuser, who is denied nothing; otherwise the user running them.
inline constexpr uid_t nobody = 65534;
inline constexpr gid_t noGroup = 65534;

inline bool RunningAsSuperuser() {
    return ::geteuid() == 0;
}

inline uid_t OrdinaryUserId() {
    return RunningAsSuperuser() ? nobody : ::geteuid();
}

inline gid_t OrdinaryGroupId() {
    return RunningAsSuperuser() ? noGroup : ::getegid();
}

// Runs action as an ordinary user and gives its result. As the superuser, it runs in a child
// process that gives up every right for good first (no supplementary groups, then group and
// user), so that permissions deny it what they deny anyone. Nothing when the child could not
// be run or could not give up its rights.
inline std::optional<bool> RunAsOrdinaryUser(const std::function<bool()>& action) {
    if (!RunningAsSuperuser()) {
        return action();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(noGroup, noGroup, noGroup) != 0 ||
            ::setresuid(nobody, nobody, nobody) != 0) {
            ::_exit(2);
        }
        ::_exit(action() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) > 1) {
        return std::nullopt;
    }
    return WEXITSTATUS(status) == 0;
}

} // namespace tarvik::testing
