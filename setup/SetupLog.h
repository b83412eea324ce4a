#pragma once

#include "setup/platform/FileHandle.h"
#include "setup/platform/SetupPlatform.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// The install log and the operating-system check of one setup run.
//
// Writing is one call late: each Log call writes the message of the call before it, stamped
// with the time of the call that writes it. So a line says when the step it names was over,
// the first call of a run writes nothing, and the last message is never written.
class SetupLog {
public:
    using Clock = std::function<SystemTime()>;

    // Checks the system once, from the version the platform reported (nothing when it could
    // not be read). The log file at strLogPath is opened on the first line written.
    SetupLog(std::string strLogPath, Clock clock, std::optional<OsVersion> osVersion);

    // The process-wide log of the running setup: the log file of DefaultLogPath(), the real
    // UTC clock and the version the POSIX platform reports. Made on first use and never
    // destroyed, so that a thread still logging while the process ends never meets a
    // destroyed log.
    static SetupLog& Instance();

    void SetLogOn(bool bOn);
    bool IsLogOn() const;

    // True on a system of the NT family with a major version of 4 or lower, which setup
    // refuses to run on.
    bool IsOldNtSystem() const { return m_bOldNtSystem; }

    // Writes the pending message, if any, as "[stamp]  message" with CR LF, then keeps this
    // message pending. A line feed inside a message is written as CR LF too: the log is a
    // text file. Does nothing at all while the log is off. Safe to call from two threads at
    // once.
    //
    // The log file opens on the first line written, for appending. Anything there that is not
    // a regular file (a symbolic link, a FIFO, a device) makes the log silent for the rest of
    // the run, without waiting.
    void Log(std::string_view message);

    // "2003-03-4 09:05:07": year, month, day (not padded), hour, minute, second.
    static std::string FormatTimeStamp(const SystemTime& time);

private:
    enum class StreamState { Closed, Open, Failed };

    mutable std::mutex m_mutex;
    bool m_bLogOn = false;
    bool m_bOldNtSystem = false;
    std::string m_strLogPath;
    Clock m_clock;
    StreamState m_streamState = StreamState::Closed;
    FileHandle m_hLogFile;
    std::string m_strPending;
};

} // namespace setup
