#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/SimCliSupport.h"
#include "editor/sim/BackupStore.h"
#include "editor/sim/CardBatch.h"
#include "editor/sim/JobLog.h"

#include <memory>
#include <optional>
#include <vector>

namespace tarvik::cli {

// The options of write-sim that program cards in a row.
inline constexpr ArgOption eachCardOption{"--each-card", ArgValue::None, "",
                                          "program card after card, until stopped (see below)"};
inline constexpr ArgOption countOption{"--count", ArgValue::Text, "N",
                                       "with --each-card: stop after N cards"};
inline constexpr ArgOption varyOption{"--vary", ArgValue::File, "SITES.csv",
                                      "with --each-card: a row of edits a card (see below)"};
inline constexpr ArgOption logOption{"--log", ArgValue::File, "JOBS.csv",
                                     "with --each-card: the job log (see below)"};
inline constexpr ArgOption rewriteOption{
    "--rewrite", ArgValue::None, "",
    "with --each-card: write a card put back again without asking"};

// The programs of a run: the file's for every card, or one a row of the sites file. Nothing
// after telling err why (a file that cannot be read, a sites cell the form does not take).
std::optional<std::vector<BatchProgram>> EachCardPrograms(const SimArgs& sim,
                                                          const ParsedArgs& args, CliIo& io);

// What a run of cards in a row holds, on one reader or many: its job log, open; the backups'
// folder; the settings from the command line (which point at the backups).
struct EachCardJob {
    JobLog log;
    std::optional<BackupStore> backups;
    BatchSettings settings;
};

// The --count of a run, none when not given. False after telling err it is no number of cards.
bool EachCardCount(const ParsedArgs& args, CliIo& io, std::optional<int>& count);

// Opens the run's job log (--log, or the default) and fills its settings from the arguments.
// Nothing after telling err why the log refused.
std::unique_ptr<EachCardJob> OpenEachCardJob(const SimArgs& sim, const ParsedArgs& args,
                                             std::vector<BatchProgram> programs,
                                             std::optional<int> count, CliIo& io);

// write-sim --each-card: programs cards one after another in the reader, logging each.
int RunEachCard(const SimArgs& sim, const ParsedArgs& args, CliIo& io);

} // namespace tarvik::cli
