#include "editor/sim/JobLog.h"

#include "base/CsvTable.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/SimBackup.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

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
    }
    return "write-error";
}

fs::path JobLog::DefaultPath() {
    // The backups' folder lies beside it.
    return BackupStore::DefaultFolder().parent_path() / "jobs.csv";
}

std::string JobLog::Open(const fs::path& path) {
    std::error_code error;
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), error);
        if (error) {
            return path.parent_path().string() + ": " + error.message();
        }
    }
    std::string firstLine;
    if (std::ifstream existing(path); existing) {
        std::getline(existing, firstLine);
        if (!firstLine.empty() && firstLine.back() == '\r') {
            firstLine.pop_back();
        }
    }
    if (!firstLine.empty() && firstLine != kHeader) {
        return path.string() + ": not a job log (its first line is not \"" + std::string(kHeader) +
               "\")";
    }
    // Created for its owner alone, as the backups are: it names customers' cards.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        return path.string() + ": " + std::strerror(errno);
    }
    file_.reset(::fdopen(fd, "ab"));
    if (!file_) {
        const std::string why = std::strerror(errno);
        ::close(fd);
        return path.string() + ": " + why;
    }
    if (std::fseek(file_.get(), 0, SEEK_END) == 0 && std::ftell(file_.get()) == 0) {
        const std::string header = std::string(kHeader) + "\r\n";
        if (std::fwrite(header.data(), 1, header.size(), file_.get()) != header.size() ||
            std::fflush(file_.get()) != 0) {
            const std::string why = std::strerror(errno);
            file_.reset();
            return path.string() + ": " + why;
        }
    }
    return {};
}

bool JobLog::Append(const CardJob& job) {
    if (!file_) {
        return false;
    }
    const std::string line = JobLine(job);
    return std::fwrite(line.data(), 1, line.size(), file_.get()) == line.size() &&
           std::fflush(file_.get()) == 0 && ::fsync(::fileno(file_.get())) == 0;
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
