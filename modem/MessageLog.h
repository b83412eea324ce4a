#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarvik::modem {

// One message sent or received through a modem.
struct LogEntry {
    std::time_t time = 0;
    bool sent = true;   // sent, or received
    std::string number; // the other side
    std::string text;   // UTF-8
    std::string result; // "ok", or the error
};

// The record of an entry, CR LF at its end: time (UTC, ISO 8601), direction, number, text,
// result.
std::string CsvRecord(const LogEntry& entry);

// The log of messages, one CSV file that grows at its end. A new file starts with the
// header line; every record is appended and flushed at once, so that a crash keeps what
// was sent.
class MessageLog {
public:
    explicit MessageLog(std::filesystem::path file) : file_(std::move(file)) {}

    // $XDG_DATA_HOME/tarvik/messages.csv, or ~/.local/share/tarvik/messages.csv.
    static std::filesystem::path defaultFile();

    // Appends the entry; false, with the reason in error(), when the file cannot be written.
    bool append(const LogEntry& entry);

    const std::filesystem::path& file() const { return file_; }
    const std::string& error() const { return error_; }

private:
    std::filesystem::path file_;
    std::string error_;
};

} // namespace tarvik::modem
