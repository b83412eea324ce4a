#include "setup/SetupLog.h"

#include "setup/platform/HostServices.h"

#include <cstdio>
#include <utility>

namespace setup {

namespace {

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

SetupLog::SetupLog(std::string logPath, Clock clock, std::optional<OsVersion> osVersion)
    : oldNtSystem_(osVersion && osVersion->ntPlatform && osVersion->majorVersion <= 4),
      logPath_(std::move(logPath)), clock_(std::move(clock)) {}

SetupLog& SetupLog::instance() {
    static SetupLog* const log = new SetupLog(DefaultLogPath(), CurrentUtcTime, HostOsVersion());
    return *log;
}

void SetupLog::setLogOn(bool on) {
    const std::lock_guard lock(mutex_);
    logOn_ = on;
}

bool SetupLog::isLogOn() const {
    const std::lock_guard lock(mutex_);
    return logOn_;
}

void SetupLog::log(std::string_view message) {
    const std::lock_guard lock(mutex_);
    if (!logOn_) {
        return;
    }
    if (!pending_.empty()) {
        if (streamState_ == StreamState::Closed) {
            logFile_ = OpenForAppending(logPath_);
            streamState_ = logFile_.valid() ? StreamState::Open : StreamState::Failed;
        }
        if (streamState_ == StreamState::Open) {
            const std::string line = "[" + formatTimeStamp(clock_()) + "]  " + TextLine(pending_);
            if (!WriteAll(logFile_, line)) {
                streamState_ = StreamState::Failed;
            }
        }
    }
    pending_.assign(message);
}

std::string SetupLog::formatTimeStamp(const SystemTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%d %02d:%02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

} // namespace setup
