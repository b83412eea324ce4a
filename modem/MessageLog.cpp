#include "modem/MessageLog.h"

#include "base/CsvTable.h"
#include "base/Files.h"
#include "base/Places.h"

namespace tarvik::modem {
namespace {

constexpr std::string_view header = "time,direction,number,text,result\r\n";

std::string UtcText(std::time_t time) {
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
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
