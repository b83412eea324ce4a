#include "editor/sim/JobLog.h"

#include "base/CsvTable.h"
#include "base/Files.h"
#include "base/Places.h"
#include "editor/sim/SimBackup.h"

#include <array>

namespace tarvik {
namespace fs = std::filesystem;

std::string_view OutcomeWord(CardOutcome outcome) {
    switch (outcome) {
    case CardOutcome::Ok:
        return "ok";
    case CardOutcome::VerifyFailed:
        return "verify-failed";
    case CardOutcome::WriteError:
        return "write-error";
    case CardOutcome::InsufficientSpace:
        return "insufficient-space";
    case CardOutcome::SimNotFound:
        return "sim-not-found";
    case CardOutcome::PinRefused:
        return "pin-refused";
    case CardOutcome::CardBlocked:
        return "card-blocked";
    case CardOutcome::CardRemoved:
        return "card-removed";
    case CardOutcome::DuplicateCard:
        return "duplicate-iccid";
    }
    return "write-error";
}

fs::path JobLog::defaultPath() {
    return base::AppDataFolder() / "jobs.csv";
}

std::string JobLog::open(const fs::path& path) {
    file_.reset();
    // Enough of the file to tell its first line from the header, and no more.
    const base::FileResult<std::string> start = base::ReadFileStart(path, header.size() + 2);
    std::string firstLine = start ? start->substr(0, start->find('\n')) : std::string();
    if (!firstLine.empty() && firstLine.back() == '\r') {
        firstLine.pop_back();
    }
    if (!firstLine.empty() && firstLine != header) {
        return path.string() + ": not a job log (its first line is not \"" + std::string(header) +
               "\")";
    }
    // The owner's alone, as the backups are: it names customers' cards.
    base::FileResult<base::AppendFile> opened = base::AppendFile::openPrivate(path);
    if (!opened) {
        return opened.error().message();
    }
    const base::FileResult<std::uint64_t> size = opened->size();
    if (!size) {
        return size.error().message();
    }
    if (*size == 0) {
        if (const auto written = opened->append(std::string(header) + "\r\n"); !written) {
            return written.error().message();
        }
    }
    file_.emplace(std::move(*opened));
    return {};
}

bool JobLog::append(const CardJob& job) {
    return file_ && file_->append(JobLine(job)).ok();
}

std::string JobLine(const CardJob& job) {
    const std::array<std::string, 8> fields = {
        UtcTimeText(job.time),
        job.reader,
        job.iccid.value_or(""),
        job.program,
        job.row ? std::to_string(*job.row) : std::string(),
        std::string(OutcomeWord(job.outcome)),
        std::to_string(job.changedRecords),
        job.backup ? job.backup->string() : std::string(),
    };
    return CsvRecord(fields);
}

} // namespace tarvik
