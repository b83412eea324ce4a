#include "SetupLog.h"

#include <cstdio>
#include <fcntl.h>
#include <utility>

namespace setup {

SetupLog::SetupLog(std::string strLogPath, Clock clock, std::optional<OsVersion> osVersion)
    : m_bOldNtSystem(osVersion && osVersion->bNtPlatform && osVersion->dwMajorVersion <= 4),
      m_strLogPath(std::move(strLogPath)), m_clock(std::move(clock)) {}

SetupLog& SetupLog::Instance() {
    static SetupLog log(DefaultLogPath(), CurrentUtcTime, QueryOsVersion());
    return log;
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
            // Appending, never truncating, so runs accumulate. A symbolic link at the log's
            // place is refused: the log must not become a way to write to another file.
            m_hLogFile =
                FileHandle(::open(m_strLogPath.c_str(),
                                  O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
            m_streamState = m_hLogFile.IsValid() ? StreamState::Open : StreamState::Failed;
        }
        if (m_streamState == StreamState::Open) {
            const std::string line =
                "[" + FormatTimeStamp(m_clock()) + "]  " + m_strPending + "\r\n";
            if (!m_hLogFile.WriteAll(line)) {
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
