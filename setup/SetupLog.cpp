#include "setup/SetupLog.h"

#include "setup/platform/PosixSetupPlatform.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace setup {

namespace {

// Opens the log for appending, never truncating, so runs accumulate. A symbolic link at the
// log's place is refused (the log must not become a way to write to another file), and so is
// anything but a regular file: without O_NONBLOCK, opening a FIFO would wait for a reader.
FileHandle OpenLogFile(const std::string& path) {
    FileHandle file(::open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileHandle();
    }
    return file;
}

// The message with every line feed written as CR LF, as a text stream writes it.
std::string TextLine(std::string_view message) {
    std::string line;
    line.reserve(message.size() + 2);
    for (const char c : message) {
        if (c == '\n') {
            line += '\r';
        }
        line += c;
    }
    line += "\r\n";
    return line;
}

} // namespace

SetupLog::SetupLog(std::string strLogPath, Clock clock, std::optional<OsVersion> osVersion)
    : m_bOldNtSystem(osVersion && osVersion->bNtPlatform && osVersion->dwMajorVersion <= 4),
      m_strLogPath(std::move(strLogPath)), m_clock(std::move(clock)) {}

SetupLog& SetupLog::Instance() {
    static SetupLog* const log =
        new SetupLog(DefaultLogPath(), CurrentUtcTime, PosixSetupPlatform().QueryOsVersion());
    return *log;
}

void SetupLog::SetLogOn(bool bOn) {
    const std::lock_guard lock(m_mutex);
    m_bLogOn = bOn;
}

bool SetupLog::IsLogOn() const {
    const std::lock_guard lock(m_mutex);
    return m_bLogOn;
}

void SetupLog::Log(std::string_view message) {
    const std::lock_guard lock(m_mutex);
    if (!m_bLogOn) {
        return;
    }
    if (!m_strPending.empty()) {
        if (m_streamState == StreamState::Closed) {
            m_hLogFile = OpenLogFile(m_strLogPath);
            m_streamState = m_hLogFile.valid() ? StreamState::Open : StreamState::Failed;
        }
        if (m_streamState == StreamState::Open) {
            const std::string line =
                "[" + FormatTimeStamp(m_clock()) + "]  " + TextLine(m_strPending);
            if (!WriteAll(m_hLogFile, line)) {
                m_streamState = StreamState::Failed;
            }
        }
    }
    m_strPending.assign(message);
}

std::string SetupLog::FormatTimeStamp(const SystemTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%d %02d:%02d:%02d", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return text;
}

} // namespace setup
