#pragma once

#include "editor/cli/CliCommand.h"
#include "editor/cli/SimCliSupport.h"

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

// write-sim --each-card: programs cards one after another in the reader, logging each.
int RunEachCard(const SimArgs& sim, const ParsedArgs& args, CliIo& io);

} // namespace tarvik::cli
