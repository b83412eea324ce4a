#include "modem/MessageLog.h"

#include "base/CsvTable.h"
#include "base/UniqueFd.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvik::modem {
namespace {

constexpr std::string_view kHeader = "time,direction,number,text,result\r\n";

std::string UtcText(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::string CsvRecord(const LogEntry& entry) {
    return UtcText(entry.time) + ',' + (entry.sent ? "sent" : "received") + ',' +
           CsvField(entry.number) + ',' + CsvField(entry.text) + ',' + CsvField(entry.result) +
           "\r\n";
}

std::filesystem::path MessageLog::DefaultFile() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules say.
    if (data != nullptr && data[0] == '/') {
        return std::filesystem::path(data) / "tarvik" / "messages.csv";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr && home[0] != '\0' ? home : ".") / ".local" /
           "share" / "tarvik" / "messages.csv";
}

bool MessageLog::Append(const LogEntry& entry) {
    // O_APPEND keeps records whole when two programs log at once; the file is its owner's
    // alone, since it holds customers' numbers.
    constexpr int kFlags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;
    UniqueFd fd(::open(file_.c_str(), kFlags, 0600));
    if (!fd && errno == ENOENT) {
        std::error_code ec;
        std::filesystem::create_directories(file_.parent_path(), ec);
        fd.reset(::open(file_.c_str(), kFlags, 0600));
    }
    struct stat st {};
    if (!fd || ::fstat(fd.get(), &st) != 0) {
        error_ = file_.string() + ": " + std::strerror(errno);
        return false;
    }
    const std::string record =
        (st.st_size == 0 ? std::string(kHeader) : std::string()) + CsvRecord(entry);
    if (!WriteAll(fd.get(), record) || !fd.close()) {
        error_ = file_.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace tarvik::modem
