#include "setup/platform/PosixSetupPlatform.h"

#include "setup/platform/FileHandle.h"
#include "setup/platform/FolderTree.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace setup {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// Adds the owner's execute permission to a regular file; anything else is left alone and
// then fails to start.
void AllowOwnerToExecute(const std::string& path) {
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.valid() && ::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode) &&
        (info.st_mode & S_IXUSR) == 0) {
        ::fchmod(file.get(), (info.st_mode & 07777) | S_IXUSR);
    }
}

// Spawn attributes that start the child with no signal blocked and SIGUSR1, which setup
// itself handles, at its default action.
class SpawnAttributes {
public:
    SpawnAttributes() {
        ::posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        sigset_t handled;
        sigemptyset(&handled);
        sigaddset(&handled, SIGUSR1);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setsigdefault(&attributes_, &handled);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }

    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_{};
};

} // namespace

std::optional<OsVersion> HostOsVersion() {
    return OsVersion{true, 10};
}

std::optional<OsVersion> PosixSetupPlatform::queryOsVersion() {
    return HostOsVersion();
}

std::string PosixSetupPlatform::modulePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::optional<std::string> PosixSetupPlatform::currentDirectory() {
    std::vector<char> buffer(PATH_MAX + 1);
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

std::optional<std::string> PosixSetupPlatform::systemTempFolder() {
    std::string folder = EnvironmentValue("TMPDIR");
    if (folder.empty()) {
        folder = "/tmp";
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::optional<std::string> PosixSetupPlatform::createTempFolder(std::string_view prefix) {
    const std::optional<std::string> parent = systemTempFolder();
    if (!parent) {
        return std::nullopt;
    }
    // Starting somewhere that depends on the process and the time makes concurrent runs
    // rarely try the same names.
    const auto firstNumber =
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    return CreateUniqueFolder(*parent, prefix, firstNumber);
}

bool PosixSetupPlatform::deleteFolderTree(const std::string& path) {
    return DeleteFolderTreeSkippingDotNames(path);
}

bool PosixSetupPlatform::deleteFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

std::optional<ProcessId> PosixSetupPlatform::startProcess(const ProcessCommand& command) {
    if (command.program.empty()) {
        return std::nullopt;
    }
    AllowOwnerToExecute(command.program);
    std::vector<std::string> words;
    words.reserve(command.arguments.size() + 1);
    words.push_back(command.program);
    words.insert(words.end(), command.arguments.begin(), command.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const SpawnAttributes attributes;
    pid_t child = -1;
    // glibc reports a program that cannot be executed as the spawn's own error.
    if (::posix_spawn(&child, command.program.c_str(), nullptr, attributes.get(), argv.data(),
                      environ) != 0) {
        return std::nullopt;
    }
    return static_cast<ProcessId>(child);
}

void PosixSetupPlatform::waitForProcess(ProcessId process) {
    int status = 0;
    while (::waitpid(static_cast<pid_t>(process), &status, 0) < 0 && errno == EINTR) {
    }
}

std::optional<std::string> CreateUniqueFolder(const std::string& parent, std::string_view prefix,
                                              unsigned firstNumber) {
    std::string base = parent;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    base += prefix.substr(0, 3);
    for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", (firstNumber + attempt) & 0xFFFFu);
        const std::string candidate = base + digits + ".tm!";
        if (::mkdir(candidate.c_str(), 0700) == 0) {
            return candidate + '/';
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

SystemTime CurrentUtcTime() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    return SystemTime{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                      utc.tm_hour,        utc.tm_min,     utc.tm_sec};
}

std::string DefaultLogPath() {
    std::string path = EnvironmentValue("QL_INST_LOG");
    if (!path.empty()) {
        return path;
    }
    const std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
        return {};
    }
    return home + (home.back() == '/' ? "" : "/") + "ql_inst.log";
}

} // namespace setup
