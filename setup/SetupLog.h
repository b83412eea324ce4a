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
    // not be read). The log file at logPath is opened on the first line written.
    SetupLog(std::string logPath, Clock clock, std::optional<OsVersion> osVersion);

    // The process-wide log of the running setup: the log file of DefaultLogPath(), the real
    // UTC clock and the version the POSIX platform reports. Made on first use and never
    // destroyed, so that a thread still logging while the process ends never meets a
    // destroyed log.
    static SetupLog& instance();

    void setLogOn(bool on);
    bool isLogOn() const;

    // True on a system of the NT family with a major version of 4 or lower, which setup
    // refuses to run on.
    bool isOldNtSystem() const { return oldNtSystem_; }

    // Writes the pending message, if any, as "[stamp]  message" with CR LF, then keeps this
    // message pending. A line feed inside a message is written as CR LF too: the log is a
    // text file. Does nothing at all while the log is off. Safe to call from two threads at
    // once.
    //
    // The log file opens on the first line written, for appending. Anything there that is not
    // a regular file (a symbolic link, a FIFO, a device) makes the log silent for the rest of
    // the run, without waiting.
    void log(std::string_view message);

    // "2003-03-4 09:05:07": year, month, day (not padded), hour, minute, second.
    static std::string formatTimeStamp(const SystemTime& time);

private:
    enum class StreamState { Closed, Open, Failed };

    mutable std::mutex mutex_;
    bool logOn_ = false;
    bool oldNtSystem_ = false;
    std::string logPath_;
    Clock clock_;
    StreamState streamState_ = StreamState::Closed;
    FileHandle logFile_;
    std::string pending_;
};

} // namespace setup
