#include "platform/SetupPlatform.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace setup {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

std::string NativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

std::string TempFolder() {
    std::string folder = EnvironmentValue("TMPDIR");
    if (folder.empty()) {
        folder = "/tmp";
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::optional<std::string> CreateUniqueTempFile(const std::string& folder,
                                                std::string_view prefix) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    base += prefix.substr(0, 3);
    // Start somewhere that depends on the process and the time so that concurrent runs rarely
    // collide, then try every one of the 65536 names once.
    const auto seed =
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", (seed + attempt) & 0xFFFFu);
        std::string candidate = base + digits + ".tmp";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool CreateFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0;
}

std::optional<OsVersion> QueryOsVersion() {
    // Reported as a modern system of the NT family, which passes the check.
    return OsVersion{true, 10};
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
