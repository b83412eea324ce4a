#pragma once

#include "base/Files.h"
#include "editor/sim/CardJob.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// The job log of the runs over many cards: a CSV file (RFC 4180), one line a card,
// appended and put on the disk as each card ends:
//   time,reader,iccid,program,row,result,changed_records,backup
//   2025-01-31T13:05:09Z,Reader 0,8949000000000000017,site.sim,1,ok,12,/home/...simbackup
class JobLog {
public:
    static constexpr std::string_view header =
        "time,reader,iccid,program,row,result,changed_records,backup";

    // $XDG_DATA_HOME/tarvik/jobs.csv, or ~/.local/share/tarvik/jobs.csv when that is unset.
    static std::filesystem::path defaultPath();

    // Opens the log for appending (a new file private, in private folders made when missing)
    // and writes the header to a new or empty file. Refuses a file whose first line is another
    // header, so that no other file is appended to. Empty when opened, else why not.
    std::string open(const std::filesystem::path& path);
    // Appends the card's line, flushed and synced; false when that failed.
    bool append(const CardJob& job);

private:
    std::optional<base::AppendFile> file_;
};

// The job log line of a card, CR LF at the end.
std::string JobLine(const CardJob& job);

} // namespace tarvik
