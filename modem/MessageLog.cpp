#include "modem/MessageLog.h"

#include "base/CsvTable.h"
#include "base/Files.h"
#include "base/Places.h"

#include <chrono>
#include <cstdio>

namespace tarvik::modem {
namespace {

constexpr std::string_view header = "time,direction,number,text,result\r\n";

// Worked out from the count of seconds alone (Unix time knows no leap seconds), so that it
// needs no time zone and no platform's calendar function.
std::string UtcText(std::time_t time) {
    using namespace std::chrono;
    const sys_seconds at{seconds(time)};
    const sys_days day = floor<days>(at);
    const year_month_day date(day);
    const hh_mm_ss clock(at - day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

} // namespace

std::string CsvRecord(const LogEntry& entry) {
    return UtcText(entry.time) + ',' + (entry.sent ? "sent" : "received") + ',' +
           CsvField(entry.number) + ',' + CsvField(entry.text) + ',' + CsvField(entry.result) +
           "\r\n";
}

std::filesystem::path MessageLog::defaultFile() {
    return base::AppDataFolder() / "messages.csv";
}

bool MessageLog::append(const LogEntry& entry) {
    // Appends stay whole when two programs log at once; a new file and its folders are the
    // owner's alone, since they hold customers' numbers.
    base::FileResult<base::AppendFile> file = base::AppendFile::openPrivate(file_);
    if (!file) {
        error_ = file.error().message();
        return false;
    }
    const base::FileResult<std::uint64_t> size = file->size();
    if (!size) {
        error_ = size.error().message();
        return false;
    }
    const std::string record =
        (*size == 0 ? std::string(header) : std::string()) + CsvRecord(entry);
    if (const base::FileResult<void> written = file->append(record); !written) {
        error_ = written.error().message();
        return false;
    }
    return true;
}

} // namespace tarvik::modem
