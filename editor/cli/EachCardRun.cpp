#include "editor/cli/EachCardRun.h"

#include "base/Console.h"
#include "base/CsvTable.h"
#include "base/Places.h"
#include "editor/cli/CliSupport.h"
#include "editor/cli/InterruptWatch.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/IntegerText.h"
#include "editor/form/SitePrograms.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/CardBatch.h"
#include "editor/sim/JobLog.h"
#include "editor/sim/PcscCardPresence.h"
#include "editor/sim/QuenlibCardPort.h"
#include "editor/sim/SimAccess.h"
#include "program/DocumentFiles.h"
#include "program/ProgramDocument.h"

#include <cstdlib>
#include <istream>
#include <mutex>
#include <ostream>

namespace tarvik::cli {
namespace {

// Tells the user on standard error where the run stands, asks about a card put back, and
// knows the card in hand for a stop at once.
class TerminalObserver final : public BatchObserver {
public:
    TerminalObserver(CliIo& io, CardPresence& presence, bool rewrite)
        : io_(io), presence_(presence), rewrite_(rewrite) {}

    void phase(BatchPhase phase, int card) override {
        const std::lock_guard lock(mutex_);
        phase_ = phase;
        card_ = card;
        switch (phase) {
        case BatchPhase::WaitingForCard:
            io_.err << "Insert the next card (card " << card << ")\n";
            break;
        case BatchPhase::Writing:
            // The card library reads its reader's name once, when it first connects.
            if (const std::string reader = presence_.readerName();
                !reader.empty() && std::getenv("QUENLIB_READER") == nullptr) {
                base::SetProcessEnvironment("QUENLIB_READER", reader);
            }
            io_.err << "Card " << card << " in '" << presence_.readerName() << "'\n";
            break;
        case BatchPhase::Verifying:
            break;
        case BatchPhase::WaitingForRemoval:
            io_.err << "Take the card out\n";
            break;
        }
        io_.err.flush();
    }

    void cardEnded(const CardJob& job) override {
        const std::lock_guard lock(mutex_);
        io_.err << "Card " << card_
                << (job.row ? " (site row " + std::to_string(*job.row) + ")" : "") << ", ICCID "
                << job.iccid.value_or("unknown") << ": " << OutcomeWord(job.outcome);
        if (job.outcome == CardOutcome::Ok) {
            io_.err << ", " << job.changedRecords << " records changed";
        } else if (!job.detail.empty()) {
            io_.err << " (" << job.detail << ")";
        }
        io_.err << '\n';
        if (job.backup) {
            io_.err << "SIM backup: " << job.backup->string() << '\n';
        }
        phase_ = BatchPhase::WaitingForRemoval;
        anyFailed_ = anyFailed_ || job.outcome != CardOutcome::Ok;
    }

    bool rewriteSameCard(const std::string& iccid) override {
        const std::lock_guard lock(mutex_);
        if (rewrite_) {
            return true;
        }
        io_.err << "The card with ICCID " << iccid
                << " was programmed in this run already. Write it again? [y/N] " << std::flush;
        std::string answer;
        std::getline(io_.in, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    }

    bool AnyFailed() const {
        const std::lock_guard lock(mutex_);
        return anyFailed_;
    }

    // How a stop now leaves the card in hand; empty when no card is in hand.
    std::string InHand() const {
        const std::lock_guard lock(mutex_);
        const std::string card = "card " + std::to_string(card_);
        switch (phase_) {
        case BatchPhase::Writing:
            return card + " was being written and may hold part of its program; the backup " +
                   "taken before the write is listed by 'tarvik-cli backups'";
        case BatchPhase::Verifying:
            return card + " was written but not read back";
        case BatchPhase::WaitingForCard:
        case BatchPhase::WaitingForRemoval:
            break;
        }
        return {};
    }

private:
    CliIo& io_;
    CardPresence& presence_;
    bool rewrite_;
    mutable std::mutex mutex_;
    BatchPhase phase_ = BatchPhase::WaitingForCard;
    int card_ = 0;
    bool anyFailed_ = false;
};

} // namespace

std::optional<std::vector<BatchProgram>> EachCardPrograms(const SimArgs& sim,
                                                          const ParsedArgs& args, CliIo& io) {
    const std::optional<std::string> content = ReadInput(sim.path, io);
    if (!content) {
        return std::nullopt;
    }
    const auto vary = args.value("--vary");
    if (!vary) {
        ProgramDocument doc{kDefaultModelIndex};
        const FileResult opened = OpenDocumentContent(doc, *content);
        if (!opened.ok) {
            ReportProblem(InputName(sim.path), opened.reason, io.err);
            return std::nullopt;
        }
        return std::vector<BatchProgram>{{std::nullopt, doc.program.text().lines()}};
    }
    const std::string sitesPath(*vary);
    const std::optional<std::string> sitesText = ReadInput(sitesPath, io);
    if (!sitesText) {
        return std::nullopt;
    }
    const CsvTable table = ParseCsv(*sitesText);
    if (!table.error.empty()) {
        ReportProblem(InputName(sitesPath), table.error, io.err);
        return std::nullopt;
    }
    const LanguageTable language;
    const SitePrograms sites = MakeSitePrograms(*content, table.rows, language);
    if (!sites.error.empty()) {
        ReportProblem(InputName(sitesPath), sites.error + "; no card was written", io.err);
        return std::nullopt;
    }
    if (sites.sites.empty()) {
        ReportProblem(InputName(sitesPath), "no sites after the header row", io.err);
        return std::nullopt;
    }
    std::vector<BatchProgram> programs;
    for (const SiteProgram& site : sites.sites) {
        programs.push_back({site.row, site.lines});
    }
    return programs;
}

namespace {

void SayNow(const std::string& text) {
    // From the watch thread while the main thread may be writing: one write call.
    base::WriteStandardErrorNow("tarvik-cli: " + text + "\n");
}

} // namespace

bool EachCardCount(const ParsedArgs& args, CliIo& io, std::optional<int>& count) {
    count.reset();
    if (const auto given = args.value("--count")) {
        count = ParseInteger(*given);
        if (!count || *count < 1) {
            io.err << "tarvik-cli: --count: '" << *given << "' is not a number of cards\n";
            return false;
        }
    }
    return true;
}

std::unique_ptr<EachCardJob> OpenEachCardJob(const SimArgs& sim, const ParsedArgs& args,
                                             std::vector<BatchProgram> programs,
                                             std::optional<int> count, CliIo& io) {
    auto job = std::make_unique<EachCardJob>();
    const std::filesystem::path logPath =
        args.value("--log") ? std::filesystem::path(*args.value("--log")) : JobLog::defaultPath();
    if (const std::string error = job->log.open(logPath); !error.empty()) {
        io.err << "tarvik-cli: " << error << '\n';
        return nullptr;
    }
    if (!sim.noBackup) {
        job->backups.emplace(BackupStore::defaultFolder());
    }
    BatchSettings& settings = job->settings;
    settings.perSite = args.has("--vary");
    settings.programs = std::move(programs);
    settings.programName = sim.path == "-" ? std::string("-") : sim.path;
    settings.deleteAll = !sim.keepForeign;
    settings.pin = sim.pin;
    settings.count = count;
    settings.backups = job->backups ? &*job->backups : nullptr;
    return job;
}

int RunEachCard(const SimArgs& sim, const ParsedArgs& args, CliIo& io) {
    std::optional<int> count;
    if (!EachCardCount(args, io, count)) {
        return exitUsage;
    }
    std::optional<std::vector<BatchProgram>> programs = EachCardPrograms(sim, args, io);
    if (!programs) {
        return exitUsage;
    }
    const std::unique_ptr<EachCardJob> job =
        OpenEachCardJob(sim, args, std::move(*programs), count, io);
    if (!job) {
        return exitUsage;
    }

    if (sim.reader) {
        base::SetProcessEnvironment("QUENLIB_READER", *sim.reader);
    }
    PcscCardPresence presence(sim.reader);
    QuenlibCardPort port;
    StreamTransferWindow window(io.err, io.errIsTerminal);
    TerminalObserver observer(io, presence, args.has("--rewrite"));
    CardBatch batch(std::move(job->settings), port, presence, window, observer, &job->log);
    BatchSummary summary;
    {
        InterruptWatch interrupts(
            [&batch] {
                SayNow("stopping once the card in hand is done (Ctrl+C again stops at once)");
                batch.Stop();
            },
            [&observer] {
                const std::string inHand = observer.InHand();
                SayNow("stopped at once" + (inHand.empty() ? std::string() : ": " + inHand));
                std::_Exit(inHand.empty() && !observer.AnyFailed() ? exitOk : exitSomeCardsFailed);
            });
        summary = batch.Run();
    }
    SimDisconnect();
    io.err << summary.cards << (summary.cards == 1 ? " card, " : " cards, ") << summary.cardsOk
           << " ok\n";
    if (!summary.error.empty()) {
        io.err << "tarvik-cli: " << summary.error << '\n';
    }
    if (summary.backupFailed) {
        return exitBackupFailed;
    }
    if (summary.readerFailed) {
        return exitSimNotFound;
    }
    return summary.allOk() ? exitOk : exitSomeCardsFailed;
}

} // namespace tarvik::cli
